#include "platform/win32/WinAnsiCodePage.h"

#include <windows.h>

std::string CWinAnsiCodePage::FromUtf16(std::u16string_view text) {
    if (text.empty())
        return {};
    const auto* pWide = reinterpret_cast<const wchar_t*>(text.data());
    const int nWide = static_cast<int>(text.size());
    const int nBytes = WideCharToMultiByte(CP_THREAD_ACP, 0, pWide, nWide, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return std::string(text.size(), '?');
    std::string out(static_cast<size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, pWide, nWide, out.data(), nBytes, nullptr, nullptr);
    return out;
}

std::u16string CWinAnsiCodePage::ToUtf16(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int nBytes = static_cast<int>(bytes.size());
    const int nWide = MultiByteToWideChar(CP_ACP, 0, bytes.data(), nBytes, nullptr, 0);
    if (nWide <= 0)
        return std::u16string(bytes.size(), u'?');
    std::u16string out(static_cast<size_t>(nWide), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), nBytes, reinterpret_cast<wchar_t*>(out.data()), nWide);
    return out;
}
