// Code page 932 through glibc's iconv ("CP932"), which gives Windows' bytes for every character
// Windows encodes.
#pragma once

#include "platform/ICodePage.h"

class CIconvCodePage932 : public ICodePage932 {
public:
    std::string FromUtf16(std::u16string_view text) override;
    std::u16string ToUtf16(std::string_view bytes) override;
};
