#include "platform/win32/ui/WinDialog.h"

#include "platform/win32/ui/DialogCaptionFit.h"
#include "platform/win32/ui/DialogTemplateBuilder.h"
#include "platform/win32/ui/WinText.h"

CWinDialog::~CWinDialog() {
    if (m_hWnd && !m_bModal)
        DestroyWindow(m_hWnd);
}

bool CWinDialog::Create() {
    m_bModal = false;
    m_nScalePercent = CaptionFitScalePercent(m_tpl);
    const CDialogTemplateBuilder tpl(m_tpl, GetModuleHandleW(nullptr), m_nScalePercent);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tpl.Get(), nullptr, DialogProc,
                                      reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CWinDialog::DoModal() {
    m_bModal = true;
    m_nScalePercent = CaptionFitScalePercent(m_tpl);
    const CDialogTemplateBuilder tpl(m_tpl, GetModuleHandleW(nullptr), m_nScalePercent);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), tpl.Get(), nullptr, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

std::u16string CWinDialog::GetDlgItemText(int nId) const {
    return GetWindowU16Text(GetDlgItem(nId));
}

void CWinDialog::SetDlgItemText(int nId, std::u16string_view text) const {
    SetWindowU16Text(GetDlgItem(nId), text);
}

void CWinDialog::SetWindowIcons(int nResource) const {
    // A shared icon of the module: the system keeps it, nobody destroys it.
    HICON hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nResource));
    if (!hIcon)
        return;
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

void CWinDialog::EndDialog(int nResult) {
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
    else
        ShowWindow(m_hWnd, SW_HIDE);
}

INT_PTR CALLBACK CWinDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWinDialog* pDlg = nullptr;
    if (nMsg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CWinDialog*>(lParam);
        pDlg->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
    } else {
        pDlg = reinterpret_cast<CWinDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (the font, the frame's creation) take the default handling.
    return pDlg ? pDlg->HandleMessage(nMsg, wParam, lParam) : FALSE;
}

INT_PTR CWinDialog::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    switch (nMsg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        const int nId = LOWORD(wParam);
        const int nCode = HIWORD(wParam);
        if (nId == IDOK && nCode == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (nId == IDCANCEL && nCode == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(nId, nCode) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        LRESULT lResult = 0;
        if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lResult))
            return FALSE;
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_NCDESTROY:
        // The window is gone; the object may live on (a closed modeless dialog that is deleted later).
        m_hWnd = nullptr;
        return FALSE;
    }
    return FALSE;
}
