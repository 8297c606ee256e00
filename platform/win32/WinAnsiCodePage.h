// Code page 932 as a Japanese Windows has it: the thread's ANSI code page, through
// WideCharToMultiByte(CP_THREAD_ACP). On a system with another ANSI code page that page is used,
// as the program would on Windows.
#pragma once

#include "platform/ICodePage.h"

class CWinAnsiCodePage : public ICodePage932 {
public:
    // A character the code page cannot hold becomes the code page's default character, "?".
    std::string FromUtf16(std::u16string_view text) override;
    // A reply that is not UTF-8 is read in the system's ANSI code page (CP_ACP), as the framework does.
    std::u16string ToUtf16(std::string_view bytes) override;
};
