#include "tray/TrayHostWatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QSystemTrayIcon>
#include <QTimerEvent>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kNotificationsService = QStringLiteral("org.freedesktop.Notifications");
// The question is asked on the interface thread before each balloon: a server that hangs must not hold it.
constexpr int kCapabilitiesTimeoutMs = 500;
// How often the XEmbed tray's presence is looked at: the same 2 s as the wait for a tray at start.
constexpr int kPollMs = 2000;
} // namespace

CTrayHostWatcher::CTrayHostWatcher() = default;
CTrayHostWatcher::~CTrayHostWatcher() = default;

bool CTrayHostWatcher::IsStatusNotifierHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kWatcherService))
        return false;
    QDBusInterface watcher(kWatcherService, QStringLiteral("/StatusNotifierWatcher"), kWatcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

bool CTrayHostWatcher::NotificationsReadMarkup() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kNotificationsService, QStringLiteral("/org/freedesktop/Notifications"), kNotificationsService,
        QStringLiteral("GetCapabilities"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCapabilitiesTimeoutMs);
    // A server that does not say (not started yet, too slow) may read markup all the same.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return true;
    return reply.arguments().first().toStringList().contains(QStringLiteral("body-markup"));
}

void CTrayHostWatcher::Start() {
    m_bAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        // A StatusNotifierWatcher that (re)starts: Qt registers the icon again; so do we.
        m_pWatcher =
            new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_pWatcher, &QDBusServiceWatcher::serviceRegistered, this,
                &CTrayHostWatcher::TrayHostAppeared);
    }
    // Under StatusNotifierItem Qt answers the availability question over D-Bus; the watcher above covers it.
    if (!IsStatusNotifierHost())
        m_poll.start(kPollMs, this);
}

void CTrayHostWatcher::Stop() {
    m_poll.stop();
    delete m_pWatcher;
    m_pWatcher = nullptr;
}

void CTrayHostWatcher::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() != m_poll.timerId()) {
        QObject::timerEvent(pEvent);
        return;
    }
    // An XEmbed tray that appears or restarts takes our icon by itself; re-adding it is harmless and
    // brings back the image of the login state.
    const bool bAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (bAvailable && !m_bAvailable)
        emit TrayHostAppeared();
    m_bAvailable = bAvailable;
}
