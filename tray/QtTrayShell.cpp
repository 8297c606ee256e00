#include "tray/QtTrayShell.h"

#include "app/KIVODialerApp.h"
#include "platform/qt/DialogBuilder.h"
#include "platform/qt/DisplayKind.h"
#include "platform/qt/QtTrayIcon.h"
#include "platform/qt/StatusNotifierItem.h"
#include "resources/TrayMenus.h"
#include "tray/TrayClick.h"
#include "tray/TrayHostWatcher.h"
#include "tray/TrayMenuPopup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QTimerEvent>
#include <QUrl>

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

CQtTrayShell::CQtTrayShell(CKIVODialerApp& app) : m_app(app), m_windows(app) {
    CreateMenus();
    m_bMenuOnLeftClick = HostDrawsMenuOnLeftClick(qgetenv("XDG_CURRENT_DESKTOP").toStdString());
    m_pTrayHost = std::make_unique<CTrayHostWatcher>();
    connect(m_pTrayHost.get(), &CTrayHostWatcher::TrayHostAppeared, this, [this] {
        if (m_pEvents)
            m_pEvents->OnTaskbarCreated();
    });
    connect(m_pTrayHost.get(), &CTrayHostWatcher::StatusNotifierWatcherLost, this, [this] {
        if (m_pEvents)
            m_pEvents->OnTrayHostLost();
    });
    if (auto* pGuiApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(
            pGuiApp, &QGuiApplication::commitDataRequest, this,
            [this] {
                if (m_pEvents)
                    m_pEvents->OnQueryEndSession();
            },
            Qt::DirectConnection);
}

CQtTrayShell::~CQtTrayShell() = default;

void CQtTrayShell::Attach(ITrayEvents* pEvents) {
    m_pEvents = pEvents;
}

void CQtTrayShell::WatchTrayHosts(bool bWatch) {
    if (bWatch)
        m_pTrayHost->Start();
    else
        m_pTrayHost->Stop();
}

void CQtTrayShell::CreateMenus() {
    m_pMenuLeft = BuildMenu(kMenuTrayLeft, std::size(kMenuTrayLeft));
    m_pMenuLeft->setObjectName(QStringLiteral("menu%1").arg(IDR_MENU_TRAY_LEFT));
    m_pMenuLeft->setTitle(ToQString(kMenuTrayLeftName));
    m_pMenuRight = BuildMenu(kMenuTrayRight, std::size(kMenuTrayRight));
    m_pMenuRight->setObjectName(QStringLiteral("menu%1").arg(IDR_MENU_TRAY_RIGHT));
    m_pMenuRight->setTitle(ToQString(kMenuTrayRightName));
    // The chosen item arrives as a posted command, after the menu has closed.
    for (QMenu* pMenu : {m_pMenuLeft.get(), m_pMenuRight.get()})
        connect(
            pMenu, &QMenu::triggered, this,
            [this](QAction* pAction) {
                if (m_pEvents)
                    m_pEvents->OnCommand(pAction->data().toInt());
            },
            Qt::QueuedConnection);
}

void CQtTrayShell::UseTrayOfDesktop() {
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
        connect(
            &pItem->Menu(), &CDBusMenu::Clicked, this,
            [this](int nId) {
                if (m_pEvents)
                    m_pEvents->OnCommand(nId);
            },
            Qt::QueuedConnection);
        m_pTray = std::move(pItem);
    } else {
        // Made only now that no StatusNotifierWatcher runs: Qt then settles on the XEmbed tray.
        m_pTray = std::make_unique<CQtTrayIcon>();
    }
    connect(m_pTray.get(), &CTrayIcon::HostEvent, this, [this](ETrayHostEvent event, QPoint) {
        if (m_pEvents)
            m_pEvents->OnTrayHostEvent(event);
    });
    // The new icon looks as the old one did.
    if (m_icon != ETrayIcon::None)
        m_pTray->SetIcon(IconOf(m_icon));
    m_pTray->SetToolTip(m_strTip);
}

// The image and the tooltip go to the icon there is; AddIcon and IsIconShown change it for the kind the
// desktop's tray takes, with both.
void CQtTrayShell::SetIconImage(ETrayIcon icon) {
    if (!m_pTray)
        UseTrayOfDesktop();
    m_icon = icon;
    m_pTray->SetIcon(IconOf(icon));
}

void CQtTrayShell::SetIconTip(std::u16string_view strTip) {
    if (!m_pTray)
        UseTrayOfDesktop();
    m_strTip = ToQString(strTip);
    m_pTray->SetToolTip(m_strTip);
}

bool CQtTrayShell::AddIcon() {
    UseTrayOfDesktop();
    return m_pTray->Show();
}

void CQtTrayShell::DeleteIcon() {
    if (m_pTray)
        m_pTray->Hide();
}

bool CQtTrayShell::IsIconShown() {
    UseTrayOfDesktop();
    return m_pTray->IsVisible();
}

bool CQtTrayShell::ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) {
    if (!m_pTray)
        return false;
    return m_pTray->ShowMessage(ToQString(strTitle), ToQString(strText), nTimeoutMs);
}

void CQtTrayShell::SetTimer(int nId, int nPeriodMs) {
    m_timers[nId].start(nPeriodMs, this);
}

void CQtTrayShell::KillTimer(int nId) {
    if (auto it = m_timers.find(nId); it != m_timers.end())
        it->second.stop();
}

void CQtTrayShell::timerEvent(QTimerEvent* pEvent) {
    for (auto& [nId, timer] : m_timers) {
        if (pEvent->timerId() == timer.timerId()) {
            if (m_pEvents)
                m_pEvents->OnTimer(nId);
            return;
        }
    }
    QObject::timerEvent(pEvent);
}

void CQtTrayShell::ShowMenu(ETrayMenu menu) {
    CTrayMenuPopup::Popup(menu == ETrayMenu::LeftClick ? *m_pMenuLeft : *m_pMenuRight, CurrentDisplayKind());
}

void CQtTrayShell::PostToSelf(ETrayPost post) {
    QMetaObject::invokeMethod(
        this,
        [this, post] {
            if (m_pEvents)
                m_pEvents->OnPosted(post);
        },
        Qt::QueuedConnection);
}

void CQtTrayShell::EndMessageLoop() {
    emit Destroyed();
    QCoreApplication::quit();
}

void CQtTrayShell::OpenInBrowser(std::u16string_view strAddress) {
    // The address is already encoded: hand its bytes over unchanged. xdg-open's result, like the
    // shell's elsewhere, is not looked at.
    const QByteArray bytes = ToQString(strAddress).toUtf8();
    QDesktopServices::openUrl(QUrl::fromEncoded(bytes, QUrl::TolerantMode));
}
