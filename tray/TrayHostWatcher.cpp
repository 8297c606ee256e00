#include "tray/TrayHostWatcher.h"

#include "platform/qt/QtTrayIcon.h"
#include "platform/qt/StatusNotifierItem.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QTimerEvent>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
// How often the XEmbed tray's presence is looked at: the same 2 s as the wait for a tray at start.
constexpr int kPollMs = 2000;
} // namespace

CTrayHostWatcher::CTrayHostWatcher() = default;
CTrayHostWatcher::~CTrayHostWatcher() = default;

bool CTrayHostWatcher::IsStatusNotifierWatcher() {
    return CStatusNotifierItem::IsWatcherRunning(QDBusConnection::sessionBus());
}

void CTrayHostWatcher::Start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_pWatcher =
            new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(m_pWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString&, const QString& strNewOwner) {
                    OnWatcherOwnerChanged(strNewOwner);
                });
    }
    // Qt settles its kind of tray at the first question about it: it is asked only while no
    // StatusNotifierWatcher runs, so that it settles on XEmbed.
    m_bWatcher = IsStatusNotifierWatcher();
    m_bXEmbedTray = !m_bWatcher && CQtTrayIcon::IsTrayAvailable();
    m_poll.start(kPollMs, this);
}

void CTrayHostWatcher::Stop() {
    m_poll.stop();
    delete m_pWatcher;
    m_pWatcher = nullptr;
}

void CTrayHostWatcher::OnWatcherOwnerChanged(const QString& strNewOwner) {
    m_bWatcher = !strNewOwner.isEmpty();
    if (strNewOwner.isEmpty())
        emit StatusNotifierWatcherLost();
    else
        emit TrayHostAppeared();
}

void CTrayHostWatcher::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() != m_poll.timerId()) {
        QObject::timerEvent(pEvent);
        return;
    }
    // The watcher's presence is known from the bus's own signals: asking the bus at every tick would
    // wake the bus thread and block this one, every 2 s all day, for nothing.
    if (m_bWatcher) {
        m_bXEmbedTray = false;
        return;
    }
    // An XEmbed tray that appears or restarts takes Qt's icon by itself; re-adding it is harmless and
    // brings back the image of the login state.
    const bool bXEmbedTray = CQtTrayIcon::IsTrayAvailable();
    if (bXEmbedTray && !m_bXEmbedTray)
        emit TrayHostAppeared();
    m_bXEmbedTray = bXEmbedTray;
}
