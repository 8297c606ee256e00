// The tray icon, its mouse messages and the two menus.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/TrayMenus.h"
#include "tray/NotificationText.h"
#include "tray/TrayMenuPopup.h"

#include <QIcon>
#include <QMenu>

namespace {
QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

const QIcon& IconOf(ETrayIcon icon) {
    return ResourceIcon(icon == ETrayIcon::Login ? IDR_MAINFRAME : IDI_LOGOUT);
}

std::unique_ptr<QMenu> BuildMenu(const CMenuItemRes* pItems, size_t nItems) {
    auto pMenu = std::make_unique<QMenu>();
    for (size_t i = 0; i < nItems; ++i) {
        QAction* pAction = pMenu->addAction(ToQString(pItems[i].strCaption));
        pAction->setData(pItems[i].nId);
    }
    return pMenu;
}
} // namespace

void CKIVODialerWnd::CreateMenus() {
    m_pMenuLeft = BuildMenu(kMenuTrayLeft, std::size(kMenuTrayLeft));
    m_pMenuLeft->setObjectName(QStringLiteral("menu%1").arg(IDR_MENU_TRAY_LEFT));
    m_pMenuLeft->setTitle(ToQString(kMenuTrayLeftName));
    m_pMenuRight = BuildMenu(kMenuTrayRight, std::size(kMenuTrayRight));
    m_pMenuRight->setObjectName(QStringLiteral("menu%1").arg(IDR_MENU_TRAY_RIGHT));
    m_pMenuRight->setTitle(ToQString(kMenuTrayRightName));
    // The chosen item arrives as a posted command, after the menu has closed.
    for (QMenu* pMenu : {m_pMenuLeft.get(), m_pMenuRight.get()})
        connect(
            pMenu, &QMenu::triggered, this, [this](QAction* pAction) { OnCommand(pAction->data().toInt()); },
            Qt::QueuedConnection);
}

bool CKIVODialerWnd::UpdateTrayIcon(ETrayOp op, ETrayIcon hIcon, const std::u16string* pTip) {
    if (hIcon != ETrayIcon::None && (op == NIM_ADD || hIcon != m_hIconShown)) {
        m_pTray->setIcon(IconOf(hIcon));
        m_hIconShown = hIcon;
    }
    if (pTip)
        m_pTray->setToolTip(ToQString(CutText(*pTip, kTrayTipMax)));

    bool bResult = true;
    if (op == NIM_DELETE) {
        m_trayRetry.stop();
        m_pTray->hide();
        bResult = true;
    } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_pTray->show();
    } else if (!m_trayRetry.isActive()) {
        // No tray yet: the icon keeps its image and tooltip and is shown as soon as a tray exists.
        // The wait does not block the thread, so timers and the channel go on meanwhile.
        m_trayRetry.start(kTrayRetryMs, this);
    }
    m_app.PublishLoginState(m_app.m_bLogin);
    return bResult;
}

void CKIVODialerWnd::ShowIconWhenTrayExists() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayRetry.stop();
    m_pTray->show();
}

void CKIVODialerWnd::OnTaskbarCreated() {
    UpdateTrayIcon(NIM_ADD, m_app.m_bLogin ? ETrayIcon::Login : ETrayIcon::Logout, nullptr);
}

void CKIVODialerWnd::OnTrayActivated(QSystemTrayIcon::ActivationReason reason) {
    // Qt reports what Windows sends as mouse messages. A double click there ends with one more button
    // release, which Qt does not report: without it the click timer would not clear m_bDblClick and the
    // next single click would open no menu.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        OnTrayNotify(kTrayIconId, WM_LBUTTONUP);
        break;
    case QSystemTrayIcon::DoubleClick:
        OnTrayNotify(kTrayIconId, WM_LBUTTONDBLCLK);
        OnTrayNotify(kTrayIconId, WM_LBUTTONUP);
        break;
    case QSystemTrayIcon::Context:
        OnTrayNotify(kTrayIconId, WM_RBUTTONUP);
        break;
    default:
        break;
    }
}

void CKIVODialerWnd::OnTrayNotify(unsigned wParam, unsigned lParam) {
    if (wParam != static_cast<unsigned>(kTrayIconId))
        return;
    switch (lParam) {
    case WM_LBUTTONUP:
        PostMessage(&CKIVODialerWnd::OnLButtonUp);
        break;
    case WM_LBUTTONDBLCLK:
        PostMessage(&CKIVODialerWnd::OnLButtonDblClk);
        break;
    case WM_RBUTTONUP:
        PostMessage(&CKIVODialerWnd::OnRButtonUp);
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
        PopupMenu(*m_pMenuLeft);
    m_bDblClick = false;
}

void CKIVODialerWnd::ShowRightClickMenu() {
    PopupMenu(*m_pMenuRight);
}

void CKIVODialerWnd::PopupMenu(QMenu& menu) {
    CTrayMenuPopup::Popup(menu, CurrentDisplayKind());
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
