// The dial dialog (template 102, modeless): places a call to a typed, pasted or recent number through
// the exchange.
#pragma once

#include "platform/win32/ui/WinDialog.h"

#include <string>
#include <string_view>

class CKIVODialerApp;

class CKIVODialerDlg : public CWinDialog {
public:
    // Takes the source line from the application's account and exchange.
    explicit CKIVODialerDlg(CKIVODialerApp& app);

    // Sends the call request for the destination; true when the exchange accepted it.
    bool Dial();

    // The clipboard's CF_TEXT, converted from the ANSI code page; empty when there is none.
    static std::u16string GetClipboardText();

    // Fills the combo box with strFirst and the stored history, and selects the first item.
    void LoadDstHistory(HWND hCombo, std::u16string_view section, int nMax, std::u16string_view strFirst);
    // Writes the edit text as typed and the other items back to the history.
    void SaveDstHistory(HWND hCombo, std::u16string_view section, int nMax);

    // A call is being placed (its request or its message box is still running).
    bool IsDialing() const { return m_bDialing; }

    HWND m_cbDst = nullptr;  // combo box 1001
    std::u16string m_strSrc; // "<account>@<exchange>"

protected:
    BOOL OnInitDialog() override;
    // "ダイヤル" or Enter: dial; on acceptance remember the number and close.
    void OnOK() override;

private:
    CKIVODialerApp& m_app;
    bool m_bDialing = false;
};
