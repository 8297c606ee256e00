// The tray icon, its mouse messages and the commands of the two menus.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "resources/ResourceIds.h"
#include "resources/TrayMenus.h"

bool CKIVODialerWnd::UpdateTrayIcon(ETrayOp op, ETrayIcon hIcon, const std::u16string* pTip) {
    if (hIcon != ETrayIcon::None && (op == NIM_ADD || hIcon != m_hIconShown)) {
        m_shell.SetIconImage(hIcon);
        m_hIconShown = hIcon;
    }
    if (pTip) {
        m_strTipShown = CutText(*pTip, kTrayTipMax);
        m_shell.SetIconTip(m_strTipShown);
    }

    if (op == NIM_DELETE) {
        KillTimer(kTimerTrayRetry);
        m_shell.DeleteIcon();
    } else if (op == NIM_ADD || !m_shell.IsIconShown()) {
        if (m_shell.AddIcon())
            KillTimer(kTimerTrayRetry);
        else if (!IsTrayRetryPending())
            // No tray yet: the icon keeps its image and tooltip and is shown as soon as a tray exists.
            // The wait does not block the thread, so timers and the channel go on meanwhile.
            SetTimer(kTimerTrayRetry, kTrayRetryMs);
    }
    m_app.PublishLoginState(m_app.m_bLogin);
    return true;
}

void CKIVODialerWnd::ShowIconWhenTrayExists() {
    if (m_shell.AddIcon())
        KillTimer(kTimerTrayRetry);
}

void CKIVODialerWnd::OnTrayHostLost() {
    if (!IsTrayRetryPending())
        SetTimer(kTimerTrayRetry, kTrayRetryMs);
}

void CKIVODialerWnd::OnTaskbarCreated() {
    UpdateTrayIcon(NIM_ADD, m_app.m_bLogin ? ETrayIcon::Login : ETrayIcon::Logout, nullptr);
}

void CKIVODialerWnd::OnTrayHostEvent(ETrayHostEvent event) {
    const bool bClickPending = GetTimerPeriod(kTimerClick) != 0;
    for (unsigned nMessage : TrayMouseMessages(event, bClickPending, m_shell.HostShowsMenuOnLeftClick()))
        OnTrayNotify(kTrayIconId, nMessage);
}

void CKIVODialerWnd::OnTrayNotify(unsigned wParam, unsigned lParam) {
    if (wParam != static_cast<unsigned>(kTrayIconId))
        return;
    switch (lParam) {
    case WM_LBUTTONUP:
        m_shell.PostToSelf(ETrayPost::LButtonUp);
        break;
    case WM_LBUTTONDBLCLK:
        m_shell.PostToSelf(ETrayPost::LButtonDblClk);
        break;
    case WM_RBUTTONUP:
        m_shell.PostToSelf(ETrayPost::RButtonUp);
        break;
    default: // WM_LBUTTONDOWN has no handler; the rest is not for us
        break;
    }
}

void CKIVODialerWnd::OnLButtonUp() {
    SetTimer(kTimerClick, kClickPeriodMs);
}

void CKIVODialerWnd::OnLButtonDblClk() {
    KillTimer(kTimerClick);
    DoDoubleClickAction();
}

void CKIVODialerWnd::OnRButtonUp() {
    ShowRightClickMenu();
}

void CKIVODialerWnd::DoDoubleClickAction() {
    m_bDblClick = true;
    OnCommand(DoubleClickCommand(m_app.m_nDblClk));
}

void CKIVODialerWnd::ShowLeftClickMenu() {
    KillTimer(kTimerClick);
    if (!m_bDblClick)
        m_shell.ShowMenu(ETrayMenu::LeftClick);
    m_bDblClick = false;
}

void CKIVODialerWnd::ShowRightClickMenu() {
    m_shell.ShowMenu(ETrayMenu::RightClick);
}

void CKIVODialerWnd::OnCommand(int nId) {
    switch (nId) {
    case ID_DIAL:
        OnDial();
        break;
    case ID_CALL_HISTORY:
        OnCallHistory();
        break;
    case ID_PBX_MANAGER:
    case ID_PBX_ADDRBOOK:
    case ID_PBX_CDR:
        OnPbxPage(nId);
        break;
    case ID_SETTINGS:
        OnSettings();
        break;
    case ID_APP_ABOUT:
        OnAbout();
        break;
    case ID_APP_EXIT:
        OnExit();
        break;
    default:
        break;
    }
}
