#include "platform/win32/ui/WinTrayWindows.h"

#include "app/KIVODialerApp.h"
#include "ui/CdrWindowRect.h"

#include "platform/win32/ui/AboutDlg.h"
#include "platform/win32/ui/ConfigDlg.h"
#include "platform/win32/ui/KIVODialerCdrDlg.h"
#include "platform/win32/ui/KIVODialerDlg.h"

namespace {

// The one instance whose windows the thread's message filter serves.
CWinTrayWindows* g_pFilterWindows = nullptr;

void BringWindowToFront(HWND hWnd) {
    if (!hWnd)
        return;
    if (IsIconic(hWnd))
        ShowWindow(hWnd, SW_RESTORE);
    SetForegroundWindow(hWnd);
}

// Runs a modal dialog to its end, known as the open one meanwhile; true when closed with OK.
template <class TDialog> bool RunOpenDialog(CKIVODialerApp& app, TDialog*& pOpen) {
    TDialog dlg(app);
    pOpen = &dlg;
    const bool bOk = dlg.DoModal() == IDOK;
    pOpen = nullptr;
    return bOk;
}

} // namespace

CWinTrayWindows::CWinTrayWindows(CKIVODialerApp& app) : m_app(app) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // The modal dialogs and the message boxes run loops of their own, which never reach the program's
    // loop: their filter hook hands each message to the modeless windows first, so that Tab and Ctrl+C
    // work there as well.
    if (!g_pFilterWindows) {
        g_pFilterWindows = this;
        m_hMsgFilter = SetWindowsHookExW(WH_MSGFILTER, MessageFilterProc, nullptr, GetCurrentThreadId());
    }
}

CWinTrayWindows::~CWinTrayWindows() {
    if (m_hMsgFilter)
        UnhookWindowsHookEx(m_hMsgFilter);
    if (g_pFilterWindows == this)
        g_pFilterWindows = nullptr;
}

LRESULT CALLBACK CWinTrayWindows::MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode >= 0 && g_pFilterWindows &&
        g_pFilterWindows->PreTranslateMessage(*reinterpret_cast<MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

bool CWinTrayWindows::PreTranslateMessage(MSG& msg) {
    if (m_app.m_pCdrDlg && m_app.m_pCdrDlg->PreTranslateMessage(msg))
        return true;
    if (m_app.m_pDialDlg) {
        HWND hDlg = m_app.m_pDialDlg->GetSafeHwnd();
        if (hDlg && (msg.hwnd == hDlg || IsChild(hDlg, msg.hwnd)) && IsDialogMessageW(hDlg, &msg))
            return true;
    }
    return false;
}

ETrayWindowState CWinTrayWindows::GetWindowState(ETrayWindow window) {
    switch (window) {
    case ETrayWindow::Dial:
        if (!m_app.m_pDialDlg)
            return ETrayWindowState::None;
        // A dialog closed while its call's message box is still open is still at work: shown again,
        // not deleted under it.
        return IsWindowVisible(m_app.m_pDialDlg->GetSafeHwnd()) || m_app.m_pDialDlg->IsDialing()
                   ? ETrayWindowState::Open
                   : ETrayWindowState::Closed;
    case ETrayWindow::CallHistory:
        if (!m_app.m_pCdrDlg)
            return ETrayWindowState::None;
        return IsWindowVisible(m_app.m_pCdrDlg->GetSafeHwnd()) ? ETrayWindowState::Open
                                                               : ETrayWindowState::Closed;
    case ETrayWindow::Settings:
        return m_pConfigDlg ? ETrayWindowState::Open : ETrayWindowState::None;
    case ETrayWindow::About:
        return m_pAboutDlg ? ETrayWindowState::Open : ETrayWindowState::None;
    }
    return ETrayWindowState::None;
}

void CWinTrayWindows::CreateTrayWindow(ETrayWindow window) {
    if (window == ETrayWindow::Dial) {
        auto* pDlg = new CKIVODialerDlg(m_app);
        m_app.m_pDialDlg = pDlg;
        if (pDlg->Create())
            ShowWindow(pDlg->GetSafeHwnd(), SW_SHOWNORMAL);
    } else if (window == ETrayWindow::CallHistory) {
        auto* pDlg = new CKIVODialerCdrDlg(m_app);
        m_app.m_pCdrDlg = pDlg;
        if (pDlg->Create())
            ShowWindow(pDlg->GetSafeHwnd(), SW_SHOWNORMAL);
    }
}

void CWinTrayWindows::DeleteTrayWindow(ETrayWindow window) {
    if (window == ETrayWindow::Dial) {
        delete m_app.m_pDialDlg;
        m_app.m_pDialDlg = nullptr;
    } else if (window == ETrayWindow::CallHistory) {
        delete m_app.m_pCdrDlg;
        m_app.m_pCdrDlg = nullptr;
    }
}

void CWinTrayWindows::ShowAgain(ETrayWindow window) {
    if (window != ETrayWindow::CallHistory || !m_app.m_pCdrDlg)
        return;
    HWND hWnd = m_app.m_pCdrDlg->GetSafeHwnd();
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    CScreenRect rect{rc.left, rc.top, rc.right, rc.bottom};
    ClampRectToScreen(rect, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SetWindowPos(hWnd, HWND_TOPMOST, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ShowWindow(hWnd, SW_SHOWNORMAL);
}

void CWinTrayWindows::BringToFront(ETrayWindow window) {
    switch (window) {
    case ETrayWindow::Dial:
        if (m_app.m_pDialDlg) {
            ShowWindow(m_app.m_pDialDlg->GetSafeHwnd(), SW_SHOWNORMAL);
            BringWindowToFront(m_app.m_pDialDlg->GetSafeHwnd());
        }
        break;
    case ETrayWindow::CallHistory:
        if (m_app.m_pCdrDlg)
            BringWindowToFront(m_app.m_pCdrDlg->GetSafeHwnd());
        break;
    case ETrayWindow::Settings:
        if (m_pConfigDlg)
            BringWindowToFront(m_pConfigDlg->GetSafeHwnd());
        break;
    case ETrayWindow::About:
        if (m_pAboutDlg)
            BringWindowToFront(m_pAboutDlg->GetSafeHwnd());
        break;
    }
}

bool CWinTrayWindows::RunModal(ETrayWindow window) {
    if (window == ETrayWindow::Settings)
        return RunOpenDialog(m_app, m_pConfigDlg);
    if (window == ETrayWindow::About)
        return RunOpenDialog(m_app, m_pAboutDlg);
    return false;
}

void DestroyCallingWindows(CKIVODialerApp& app) {
    delete app.m_pDialDlg;
    app.m_pDialDlg = nullptr;
    delete app.m_pCdrDlg;
    app.m_pCdrDlg = nullptr;
}
