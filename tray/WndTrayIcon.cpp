// The tray icon, its mouse messages and the two menus.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "platform/qt/DialogBuilder.h"
#include "platform/qt/QtTrayIcon.h"
#include "platform/qt/StatusNotifierItem.h"
#include "resources/TrayMenus.h"
#include "tray/NotificationText.h"
#include "tray/TrayHostWatcher.h"
#include "tray/TrayMenuPopup.h"

#include <QDBusConnection>
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

void CKIVODialerWnd::UseTrayOfDesktop() {
    const bool bStatusNotifier = CTrayHostWatcher::IsStatusNotifierWatcher();
    if (m_pTray && bStatusNotifier == m_bStatusNotifierTray)
        return;
    m_bStatusNotifierTray = bStatusNotifier;
    if (bStatusNotifier) {
        auto pItem = std::make_unique<CStatusNotifierItem>(QDBusConnection::sessionBus(),
                                                           ToQString(m_app.m_strProductName));
        // The host draws this menu. Where a left click shows it, it holds every command; elsewhere the
        // host shows it on a right click, as the right-click menu.
        QVector<CDBusMenuEntry> entries;
        if (m_bMenuOnLeftClick) {
            for (const CMenuItemRes& item : kMenuTrayLeft)
                entries.append({item.nId, ToQString(item.strCaption)});
            entries.append({0, QString()});
        }
        for (const CMenuItemRes& item : kMenuTrayRight)
            entries.append({item.nId, ToQString(item.strCaption)});
        pItem->Menu().SetEntries(entries);
        // As a choice in our own menus, the command comes after the host's call has been answered.
        connect(&pItem->Menu(), &CDBusMenu::Clicked, this, &CKIVODialerWnd::OnCommand, Qt::QueuedConnection);
        m_pTray = std::move(pItem);
    } else {
        // Made only now that no StatusNotifierWatcher runs: Qt then settles on the XEmbed tray.
        m_pTray = std::make_unique<CQtTrayIcon>();
    }
    connect(m_pTray.get(), &CTrayIcon::HostEvent, this,
            [this](ETrayHostEvent event, QPoint) { OnTrayHostEvent(event); });
    // The new icon looks as the old one did.
    if (m_hIconShown != ETrayIcon::None)
        m_pTray->SetIcon(IconOf(m_hIconShown));
    m_pTray->SetToolTip(m_strTipShown);
}

bool CKIVODialerWnd::UpdateTrayIcon(ETrayOp op, ETrayIcon hIcon, const std::u16string* pTip) {
    if (op != NIM_DELETE || !m_pTray)
        UseTrayOfDesktop();
    if (hIcon != ETrayIcon::None && (op == NIM_ADD || hIcon != m_hIconShown)) {
        m_pTray->SetIcon(IconOf(hIcon));
        m_hIconShown = hIcon;
    }
    if (pTip) {
        m_strTipShown = ToQString(CutText(*pTip, kTrayTipMax));
        m_pTray->SetToolTip(m_strTipShown);
    }

    if (op == NIM_DELETE) {
        m_trayRetry.stop();
        m_pTray->Hide();
    } else if (op == NIM_ADD || !m_pTray->IsVisible()) {
        if (m_pTray->Show())
            m_trayRetry.stop();
        else if (!m_trayRetry.isActive())
            // No tray yet: the icon keeps its image and tooltip and is shown as soon as a tray exists.
            // The wait does not block the thread, so timers and the channel go on meanwhile.
            m_trayRetry.start(kTrayRetryMs, this);
    }
    m_app.PublishLoginState(m_app.m_bLogin);
    return true;
}

void CKIVODialerWnd::ShowIconWhenTrayExists() {
    UseTrayOfDesktop();
    if (m_pTray->Show())
        m_trayRetry.stop();
}

void CKIVODialerWnd::OnTaskbarCreated() {
    UpdateTrayIcon(NIM_ADD, m_app.m_bLogin ? ETrayIcon::Login : ETrayIcon::Logout, nullptr);
}

void CKIVODialerWnd::OnTrayHostEvent(ETrayHostEvent event) {
    const bool bClickPending = GetTimerPeriod(kTimerClick) != 0;
    for (unsigned nMessage : TrayMouseMessages(event, bClickPending, m_bMenuOnLeftClick))
        OnTrayNotify(kTrayIconId, nMessage);
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
