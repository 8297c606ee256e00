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
