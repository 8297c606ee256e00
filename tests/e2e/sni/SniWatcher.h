// org.kde.StatusNotifierWatcher on the session bus: items register here, and a host (the panel of
// CSniHost, in the same process) is always reported, so that applications choose StatusNotifierItem.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

class QDBusServiceWatcher;

class CSniWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
public:
    explicit CSniWatcher(const QDBusConnection& bus);

    // Owns the watcher's name and exports the object; false when another watcher runs.
    bool Start();

    QStringList RegisteredStatusNotifierItems() const { return m_items; }
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }

public slots:
    // The argument is the item's service name (the object is then /StatusNotifierItem) or its object
    // path (the service is the caller).
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& strServiceOrPath);
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString& strService);

signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& strItem);
    Q_SCRIPTABLE void StatusNotifierItemUnregistered(const QString& strItem);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

    // For the host in this process.
    void ItemRegistered(const QString& strService, const QString& strPath);
    void ItemUnregistered(const QString& strService);

private:
    void OnServiceUnregistered(const QString& strService);

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_pOwners = nullptr;
    QStringList m_items; // "service/path"
};
