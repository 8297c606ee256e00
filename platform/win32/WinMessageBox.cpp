#include "platform/win32/WinMessageBox.h"

#include <windows.h>

#include <string>

// <windows.h> names the wide function MessageBox as well.
#undef MessageBox

int CWinMessageBox::MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) {
    const std::wstring strText(text.begin(), text.end());
    const std::wstring strCaption(caption.begin(), caption.end());
    return MessageBoxW(nullptr, strText.c_str(), strCaption.c_str(), nType);
}

namespace {

struct COpenBoxSearch {
    std::wstring strText;
    std::wstring strCaption;
    HWND hBox = nullptr;
};

// The text of a window, or of one of its controls.
std::wstring TextOf(HWND hWnd) {
    std::wstring str(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    str.resize(static_cast<size_t>(GetWindowTextW(hWnd, str.data(), static_cast<int>(str.size()))));
    return str;
}

BOOL CALLBACK FindOpenBox(HWND hWnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<COpenBoxSearch*>(lParam);
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    // A message box is a dialog whose text is the static control 0xFFFF.
    constexpr int kMessageTextId = 0xFFFF;
    const HWND hText = GetDlgItem(hWnd, kMessageTextId);
    if (std::wstring(szClass) == L"#32770" && IsWindowVisible(hWnd) && hText &&
        TextOf(hWnd) == search.strCaption && TextOf(hText) == search.strText) {
        search.hBox = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool CWinMessageBox::ActivateOpenBox(std::u16string_view text, std::u16string_view caption) {
    COpenBoxSearch search{std::wstring(text.begin(), text.end()),
                          std::wstring(caption.begin(), caption.end())};
    EnumThreadWindows(GetCurrentThreadId(), FindOpenBox, reinterpret_cast<LPARAM>(&search));
    if (!search.hBox)
        return false;
    SetForegroundWindow(search.hBox);
    return true;
}
