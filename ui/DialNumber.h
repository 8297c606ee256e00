// The number the dial dialog sends for what the user typed, pasted or picked.
#pragma once

#include <string>
#include <string_view>

// Decimal digits as the home platform's wide-character digit test classifies them: the ASCII digits
// and their full-width forms.
bool IsWDigit(char16_t ch);

// The digits and asterisks of the text's first line, in their order.
std::u16string ExtractDialNumber(std::u16string_view text);

// The number for a destination text: the text without white space at its ends; if it then begins
// with "sfa-" in any case, "SFA-" followed by the rest unchanged, else its digits and asterisks.
// Empty when nothing dialable is left.
std::u16string MakeDialNumber(std::u16string_view strDst);
