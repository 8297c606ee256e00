// UTF-16 text between the program's std::u16string and the wide Win32 calls (wchar_t is 16 bits
// on Windows), and the text of a window.
#pragma once

#include "platform/win32/ui/WinApi.h"

#include <string>
#include <string_view>

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// The window's whole text (a control's caption or edit text).
inline std::u16string GetWindowU16Text(HWND hWnd) {
    const int nLength = GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(nLength) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hWnd, text.data(), nLength + 1)));
    return FromWide(text);
}

inline void SetWindowU16Text(HWND hWnd, std::u16string_view text) {
    SetWindowTextW(hWnd, ToWide(text).c_str());
}
