// A dialog window made from a dialog template of resources/DialogTemplates.h, without a parent window:
// modeless (Create) or modal (DoModal). Derived classes handle its messages through the virtual
// handlers, as dialog classes of an application framework do.
#pragma once

#include "resources/DialogTemplates.h"

#include "platform/win32/ui/WinApi.h"

#include <string>
#include <string_view>

class CWinDialog {
public:
    explicit CWinDialog(const CDialogTemplate& tpl) : m_tpl(tpl) {}
    // Destroys a modeless dialog's window.
    virtual ~CWinDialog();

    CWinDialog(const CWinDialog&) = delete;
    CWinDialog& operator=(const CWinDialog&) = delete;

    // A modeless dialog; false when its window could not be made.
    bool Create();
    // Runs the dialog modally; returns the result it ended with, or -1 when it could not be made.
    INT_PTR DoModal();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int nId) const { return ::GetDlgItem(m_hWnd, nId); }
    std::u16string GetDlgItemText(int nId) const;
    void SetDlgItemText(int nId, std::u16string_view text) const;

    // A modal dialog ends with the result; a modeless one is hidden and kept.
    void EndDialog(int nResult);

    // The template laid out as the dialog is: its horizontal scale in percent.
    int ScalePercent() const { return m_nScalePercent; }

protected:
    // The icon resource as the window's big and small icon; nothing while the program has no such icon.
    void SetWindowIcons(int nResource) const;

    // After the controls exist; true lets the dialog manager set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // IDOK (the default button, Enter) and IDCANCEL (Esc, the close box).
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Other commands; true when handled.
    virtual bool OnCommand(int /*nId*/, int /*nCode*/) { return false; }
    // Notifications from controls; true when handled, with the result in lResult.
    virtual bool OnNotify(const NMHDR& /*hdr*/, LRESULT& /*lResult*/) { return false; }
    virtual void OnSize(int /*cx*/, int /*cy*/) {}
    virtual void OnDestroy() {}

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);

    const CDialogTemplate& m_tpl;
    bool m_bModal = false;
    int m_nScalePercent = 100;
};
