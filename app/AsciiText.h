// ASCII-only character helpers for protocol text (HTTP heads, URLs, escapes), which is matched without
// regard to the locale; any character type.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// The value of a hexadecimal digit (either case), -1 for any other character.
template <typename Char> constexpr int HexDigitValue(Char ch) {
    if (ch >= Char('0') && ch <= Char('9'))
        return static_cast<int>(ch - Char('0'));
    if (ch >= Char('a') && ch <= Char('f'))
        return static_cast<int>(ch - Char('a')) + 10;
    if (ch >= Char('A') && ch <= Char('F'))
        return static_cast<int>(ch - Char('A')) + 10;
    return -1;
}

// A letter A-Z in lower case; any other character as it is.
template <typename Char> constexpr Char AsciiLower(Char ch) {
    return ch >= Char('A') && ch <= Char('Z') ? static_cast<Char>(ch - Char('A') + Char('a')) : ch;
}

template <typename Char>
constexpr bool EqualsAsciiNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](Char x, Char y) { return AsciiLower(x) == AsciiLower(y); });
}
inline bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    return EqualsAsciiNoCase<char>(a, b);
}

// Every "%XX" decoded to its byte; a '%' that starts no such sequence stays as it is.
inline std::string PercentDecodeBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int nHigh = text[i] == '%' && i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
        const int nLow = nHigh >= 0 ? HexDigitValue(text[i + 2]) : -1;
        if (nLow >= 0) {
            out.push_back(static_cast<char>(nHigh * 16 + nLow));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}
