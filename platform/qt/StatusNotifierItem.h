// The program's own StatusNotifierItem (org.kde.StatusNotifierItem at /StatusNotifierItem) with its menu
// (com.canonical.dbusmenu at /MenuBar), registered with the desktop's StatusNotifierWatcher under the
// connection's unique name. Qt's own item is not used: Qt chooses its kind of tray once per process and
// never registers again with a watcher that starts later. The balloon is a desktop notification.
#pragma once

#include "platform/qt/DBusMenu.h"
#include "platform/qt/DesktopNotifier.h"
#include "platform/qt/StatusNotifierTypes.h"
#include "platform/qt/TrayIcon.h"

#include <QDBusConnection>

class CStatusNotifierItemAdaptor;

class CStatusNotifierItem : public CTrayIcon {
    Q_OBJECT
public:
    CStatusNotifierItem(const QDBusConnection& bus, const QString& strId);
    ~CStatusNotifierItem() override;

    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const QString& strTip) override;
    // Registers the item with the watcher (again, when it was registered before); false while no
    // watcher runs.
    bool Show() override;
    void Hide() override;
    bool IsVisible() const override { return m_bVisible; }
    bool ShowMessage(const QString& strTitle, const QString& strText, int nTimeoutMs) override;

    CDBusMenu& Menu() { return m_menu; }

    // A StatusNotifierWatcher owns its name on the bus.
    static bool IsWatcherRunning(const QDBusConnection& bus);

    // What the item's D-Bus properties read.
    const QString& Id() const { return m_strId; }
    QString Status() const;
    const CSniIconPixmapList& IconPixmaps() const { return m_pixmaps; }
    CSniToolTip ToolTip() const;

    // From the host, through the adaptor.
    void OnActivate(int nX, int nY) { emit HostEvent(ETrayHostEvent::Activate, QPoint(nX, nY)); }
    void OnSecondaryActivate(int nX, int nY) {
        emit HostEvent(ETrayHostEvent::SecondaryActivate, QPoint(nX, nY));
    }
    void OnContextMenu(int nX, int nY) { emit HostEvent(ETrayHostEvent::Context, QPoint(nX, nY)); }

signals:
    // The watcher answered a registration (ok false: it refused it).
    void Registered(bool bOk);

private:
    bool Export();

    QDBusConnection m_bus;
    QString m_strId;
    CSniIconPixmapList m_pixmaps;
    QString m_strTip;
    bool m_bVisible = false;
    bool m_bExported = false;
    CDBusMenu m_menu;
    CDesktopNotifier m_notifier;
    CStatusNotifierItemAdaptor* m_pAdaptor = nullptr; // owned by this object, as Qt's adaptors are
};
