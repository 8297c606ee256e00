// Which tray the desktop offers, and when a tray host appears or comes back: the Linux form of the
// shell's "TaskbarCreated". A StatusNotifierWatcher on the session bus (Xfce's and KDE's panels, swaybar,
// GNOME's AppIndicator extension) takes a StatusNotifierItem of our own; without one, the X display's
// XEmbed tray takes Qt's icon.
#pragma once

#include <QBasicTimer>
#include <QObject>

class QDBusServiceWatcher;

class CTrayHostWatcher : public QObject {
    Q_OBJECT
public:
    CTrayHostWatcher();
    ~CTrayHostWatcher() override;

    // A StatusNotifierWatcher runs on the session bus.
    static bool IsStatusNotifierWatcher();

    void Start();
    void Stop();

signals:
    // A StatusNotifierWatcher started (or another took its name), or, while none runs, an XEmbed tray
    // appeared on the display.
    void TrayHostAppeared();
    // The StatusNotifierWatcher went away: the item is gone from every host.
    void StatusNotifierWatcherLost();

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void OnWatcherOwnerChanged(const QString& strNewOwner);

    QDBusServiceWatcher* m_pWatcher = nullptr;
    QBasicTimer m_poll;
    bool m_bWatcher = false; // a StatusNotifierWatcher owns its name on the session bus
    bool m_bXEmbedTray = false;
};
