#include "platform/qt/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A server that hangs must not delay the notification for long.
constexpr int kCapabilitiesTimeoutMs = 500;
constexpr int kNotifyTimeoutMs = 5000;
constexpr uchar kUrgencyNormal = 1;
} // namespace

CDesktopNotifier::CDesktopNotifier(const QDBusConnection& bus) : m_bus(bus) {}

QString CDesktopNotifier::BodyFor(const QString& strText, bool bServerReadsMarkup) {
    // The text comes from any sender on the network: a server that reads markup would turn
    // "<a href=...>" in a caller's name into a link, so there it is escaped and shows as it came.
    return bServerReadsMarkup ? strText.toHtmlEscaped() : strText;
}

bool CDesktopNotifier::Show(const QString& strTitle, const QString& strText, int nTimeoutMs) {
    if (!m_bus.isConnected())
        return false;
    const CNote note{strTitle, strText, nTimeoutMs};
    if (m_bBusy) {
        m_next = note;
        return true;
    }
    Send(note);
    return true;
}

void CDesktopNotifier::Send(const CNote& note) {
    m_bBusy = true;
    // Asked before every notification: the server may have been replaced meanwhile.
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetCapabilities"));
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCapabilitiesTimeoutMs), this);
    connect(pWatcher, &QDBusPendingCallWatcher::finished, this, [this, pWatcher, note] {
        pWatcher->deleteLater();
        const QDBusPendingReply<QStringList> reply = *pWatcher;
        // A server that does not say (not started yet, too slow) may read markup all the same.
        const bool bReadsMarkup = reply.isError() || reply.value().contains(QStringLiteral("body-markup"));
        SendNotify(note, bReadsMarkup);
    });
}

void CDesktopNotifier::SendNotify(const CNote& note, bool bReadsMarkup) {
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(kUrgencyNormal));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("kivodialer"));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("KIVODialer") << m_nLastId << QStringLiteral("kivodialer") << note.strTitle
         << BodyFor(note.strText, bReadsMarkup) << QStringList() << hints << note.nTimeoutMs;
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kNotifyTimeoutMs), this);
    connect(pWatcher, &QDBusPendingCallWatcher::finished, this, [this, pWatcher] {
        pWatcher->deleteLater();
        const QDBusPendingReply<uint> reply = *pWatcher;
        if (!reply.isError()) {
            m_nLastId = reply.value();
            emit Shown(m_nLastId);
        }
        Done();
    });
}

void CDesktopNotifier::Done() {
    m_bBusy = false;
    if (m_next) {
        const CNote note = *m_next;
        m_next.reset();
        Send(note);
    }
}
