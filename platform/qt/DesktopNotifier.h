// Desktop notifications sent over D-Bus (org.freedesktop.Notifications.Notify) as the program's own:
// its name and installed icon, normal urgency (servers such as GNOME Shell show a low-urgency one only in
// their message list, without a banner), and each one replacing the one before. Nothing blocks: the
// server's capabilities and the notification's id arrive as asynchronous replies.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class CDesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit CDesktopNotifier(const QDBusConnection& bus);

    // Shows title and text (plain text) for nTimeoutMs; a notification still on its way is replaced by
    // this one. False when there is no session bus.
    bool Show(const QString& strTitle, const QString& strText, int nTimeoutMs);

    // A text as the body of a server that reads markup: the characters markup gives a meaning escaped.
    static QString BodyFor(const QString& strText, bool bServerReadsMarkup);

signals:
    // The server answered a notification with its id (for tests and logs).
    void Shown(uint nId);

private:
    struct CNote {
        QString strTitle;
        QString strText;
        int nTimeoutMs = 0;
    };
    void Send(const CNote& note);
    void SendNotify(const CNote& note, bool bReadsMarkup);
    void Done();

    QDBusConnection m_bus;
    uint m_nLastId = 0;          // replaced by the next notification
    bool m_bBusy = false;        // a notification is on its way
    std::optional<CNote> m_next; // the latest one asked for meanwhile
};
