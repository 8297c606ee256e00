#include "platform/qt/StatusNotifierItem.h"

#include "platform/qt/StatusNotifierItemAdaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
constexpr int kRegisterTimeoutMs = 5000;
} // namespace

CStatusNotifierItem::CStatusNotifierItem(const QDBusConnection& bus, const QString& strId)
    : m_bus(bus), m_strId(strId), m_notifier(bus) {
    RegisterStatusNotifierTypes();
    m_pAdaptor = new CStatusNotifierItemAdaptor(*this);
}

CStatusNotifierItem::~CStatusNotifierItem() {
    if (m_bExported) {
        m_bus.unregisterObject(kItemPath);
        m_bus.unregisterObject(kMenuPath);
    }
}

bool CStatusNotifierItem::IsWatcherRunning(const QDBusConnection& bus) {
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kWatcherService);
}

QString CStatusNotifierItem::Status() const {
    return m_bVisible ? QStringLiteral("Active") : QStringLiteral("Passive");
}

CSniToolTip CStatusNotifierItem::ToolTip() const {
    return CSniToolTip{QString(), {}, m_strTip, QString()};
}

void CStatusNotifierItem::SetIcon(const QIcon& icon) {
    m_pixmaps = SniPixmapsOf(icon);
    emit m_pAdaptor->NewIcon();
}

void CStatusNotifierItem::SetToolTip(const QString& strTip) {
    if (strTip == m_strTip)
        return;
    m_strTip = strTip;
    emit m_pAdaptor->NewToolTip();
}

bool CStatusNotifierItem::Export() {
    if (m_bExported)
        return true;
    if (!m_bus.isConnected())
        return false;
    m_bExported = m_bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors) &&
                  m_bus.registerObject(kMenuPath, &m_menu, QDBusConnection::ExportScriptableContents);
    if (!m_bExported) {
        m_bus.unregisterObject(kItemPath);
        m_bus.unregisterObject(kMenuPath);
    }
    return m_bExported;
}

bool CStatusNotifierItem::Show() {
    if (!Export() || !IsWatcherRunning(m_bus))
        return false;
    if (!m_bVisible) {
        m_bVisible = true;
        emit m_pAdaptor->NewStatus(Status());
    }
    // Under the unique name: the watcher then reads the item at /StatusNotifierItem. (GNOME's AppIndicator
    // extension mishandles items registered under a well-known name.)
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_bus.baseService();
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kRegisterTimeoutMs), this);
    connect(pWatcher, &QDBusPendingCallWatcher::finished, this, [this, pWatcher] {
        pWatcher->deleteLater();
        emit Registered(!pWatcher->isError());
    });
    return true;
}

void CStatusNotifierItem::Hide() {
    if (!m_bVisible)
        return;
    // The protocol has no way back out of the watcher but the end of the connection: hosts hide a
    // passive item.
    m_bVisible = false;
    emit m_pAdaptor->NewStatus(Status());
}

bool CStatusNotifierItem::ShowMessage(const QString& strTitle, const QString& strText, int nTimeoutMs) {
    return m_bVisible && m_notifier.Show(strTitle, strText, nTimeoutMs);
}
