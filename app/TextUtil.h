// Text helpers shared by the portable code: the system's texts are UTF-16, the network's bytes UTF-8.
#pragma once

#include <string>
#include <string_view>

// UTF-8 bytes to UTF-16; every invalid or truncated sequence becomes U+FFFD, as the Windows
// conversion without MB_ERR_INVALID_CHARS does. Never fails.
std::u16string Utf8ToU16(std::string_view bytes);

// Whether the bytes are well-formed UTF-8 throughout (what MB_ERR_INVALID_CHARS accepts).
bool IsValidUtf8(std::string_view bytes);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string U16ToUtf8(std::u16string_view text);

// White space as the C library's iswspace classifies it on the system's home platform.
bool IsWSpace(char16_t ch);

// Removes white space first from the end, then from the start.
std::u16string TrimWSpace(std::u16string_view text);

// At most nMax UTF-16 units of text; a surrogate pair cut in two loses its first half too.
std::u16string CutText(std::u16string_view text, size_t nMax);

// The text with every invisible format character (bidirectional embeddings, overrides and isolates, the
// zero-width characters, the byte order mark, tags and the like) shown as "?", as a round trip through
// code page 932 would show it. Such characters in a caller's number or name could make "0110-999-990"
// read as "099-999-0110" or hide what follows.
std::u16string ShowFormatChars(std::u16string_view text);

// Decimal text of a number, like "%d" / "%ld".
std::u16string ToU16Decimal(long long value);

// Plain ASCII (or UTF-8) literal to UTF-16, for building texts from narrow constants.
inline std::u16string U16(std::string_view utf8) {
    return Utf8ToU16(utf8);
}
