// Telephone links (tel:, callto:) handed to the program by the desktop as its command line.
#pragma once

#include <string>
#include <string_view>

// When the whole command line is one tel: or callto: URI, its number: the scheme, a "//" after it
// and any ";parameter" part removed, percent-escapes decoded. Any other command line is returned
// unchanged.
std::u16string NumberFromCommandLine(std::u16string_view strCmdLine);
