#include "SniWatcher.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kDefaultItemPath = QStringLiteral("/StatusNotifierItem");
} // namespace

CSniWatcher::CSniWatcher(const QDBusConnection& bus) : m_bus(bus) {
    m_pOwners = new QDBusServiceWatcher(this);
    m_pOwners->setConnection(m_bus);
    m_pOwners->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_pOwners, &QDBusServiceWatcher::serviceUnregistered, this, &CSniWatcher::OnServiceUnregistered);
}

bool CSniWatcher::Start() {
    if (!m_bus.registerObject(kWatcherPath, this,
                              QDBusConnection::ExportScriptableSlots |
                                  QDBusConnection::ExportScriptableSignals |
                                  QDBusConnection::ExportAllProperties))
        return false;
    return m_bus.registerService(kWatcherService);
}

void CSniWatcher::RegisterStatusNotifierItem(const QString& strServiceOrPath) {
    QString strService = strServiceOrPath;
    QString strPath = kDefaultItemPath;
    if (strServiceOrPath.startsWith(QLatin1Char('/'))) {
        strService = message().service();
        strPath = strServiceOrPath;
    }
    const QString strItem = strService + strPath;
    if (!m_items.contains(strItem)) {
        m_items.append(strItem);
        m_pOwners->addWatchedService(strService);
    }
    emit StatusNotifierItemRegistered(strItem);
    // The host reads the item once this call has been answered: the item may wait for the answer
    // before it serves its properties.
    QMetaObject::invokeMethod(
        this, [this, strService, strPath] { emit ItemRegistered(strService, strPath); },
        Qt::QueuedConnection);
}

void CSniWatcher::RegisterStatusNotifierHost(const QString&) {
    emit StatusNotifierHostRegistered();
}

void CSniWatcher::OnServiceUnregistered(const QString& strService) {
    m_pOwners->removeWatchedService(strService);
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (m_items[i].startsWith(strService + QLatin1Char('/'))) {
            emit StatusNotifierItemUnregistered(m_items[i]);
            m_items.removeAt(i);
        }
    }
    emit ItemUnregistered(strService);
}
