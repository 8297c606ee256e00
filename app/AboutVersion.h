// The about box's version line.
#pragma once

#include <string>
#include <string_view>

// The text before its last full stop; empty when it has none.
std::u16string CutBeforeLastStop(std::u16string_view strVersion);

// "Version " followed by the product version cut before its last full stop, so four numbers show as three.
std::u16string AboutVersionLine(std::u16string_view strProductVersion);
