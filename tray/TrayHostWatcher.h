// Which tray the desktop offers, and when a tray host appears or comes back: the Linux form of the
// shell's "TaskbarCreated". Qt picks StatusNotifierItem over D-Bus when a host is registered with the
// StatusNotifierWatcher, else the X display's XEmbed tray, once per process.
#pragma once

#include <QBasicTimer>
#include <QObject>

class QDBusServiceWatcher;

class CTrayHostWatcher : public QObject {
    Q_OBJECT
public:
    CTrayHostWatcher();
    ~CTrayHostWatcher() override;

    // A StatusNotifierItem host is registered on the session bus (so Qt uses it rather than XEmbed).
    static bool IsStatusNotifierHost();
    // The desktop's notification server, which shows the balloon of a StatusNotifierItem icon, reads a
    // notification's body as markup (capability "body-markup"); also true when it does not answer.
    static bool NotificationsReadMarkup();

    void Start();
    void Stop();

signals:
    void TrayHostAppeared();

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    QDBusServiceWatcher* m_pWatcher = nullptr;
    QBasicTimer m_poll;
    bool m_bAvailable = false;
};
