// Code page 932 (Shift_JIS as Windows extends it): the bytes a Japanese Windows system would send.
#pragma once

#include <string>
#include <string_view>

class ICodePage932 {
public:
    virtual ~ICodePage932() = default;
    // A character that code page 932 cannot hold becomes "?".
    virtual std::string FromUtf16(std::u16string_view text) = 0;
    // Bytes in code page 932 to UTF-16; a byte that starts no character of it becomes "?".
    virtual std::u16string ToUtf16(std::string_view bytes) = 0;
};
