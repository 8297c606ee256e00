// Desktop notifications on a private session bus (a real dbus-daemon) with a notification server served
// by this test: what the server is sent follows what it says it reads, the caller's text never becomes
// markup, and a notification asked for while one is on its way replaces it.
#include "platform/qt/DesktopNotifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QVariantMap>

#include <utility>
#include <vector>

namespace {

class CNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    QStringList GetCapabilities() { return m_capabilities; }
    uint Notify(const QString& strApp, uint nReplaces, const QString& strIcon, const QString& strSummary,
                const QString& strBody, const QStringList&, const QVariantMap& hints, int nTimeoutMs) {
        m_notes.push_back({strApp, nReplaces, strIcon, strSummary, strBody, hints, nTimeoutMs});
        return static_cast<uint>(m_notes.size() + 40);
    }
    void CloseNotification(uint) {}

public:
    struct CNote {
        QString strApp;
        uint nReplaces;
        QString strIcon;
        QString strSummary;
        QString strBody;
        QVariantMap hints;
        int nTimeoutMs;
    };
    QStringList m_capabilities;
    std::vector<CNote> m_notes;
};

class DesktopNotifierTest : public testing::Test {
protected:
    void SetUp() override {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        ASSERT_TRUE(m_daemon.waitForStarted(5000));
        ASSERT_TRUE(m_daemon.waitForReadyRead(5000));
        const QString strAddress = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_server =
            std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(strAddress, "kivo-test-server"));
        m_client =
            std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(strAddress, "kivo-test-client"));
        ASSERT_TRUE(m_server->isConnected() && m_client->isConnected());
        ASSERT_TRUE(m_server->registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                             &m_notifications, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_server->registerService(QStringLiteral("org.freedesktop.Notifications")));
    }
    void TearDown() override {
        m_server.reset();
        m_client.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("kivo-test-server"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kivo-test-client"));
        m_daemon.kill();
        m_daemon.waitForFinished(3000);
    }
    bool WaitForNotes(size_t n) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (m_notifications.m_notes.size() < n && elapsed.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return m_notifications.m_notes.size() == n;
    }

    QProcess m_daemon;
    std::unique_ptr<QDBusConnection> m_server;
    std::unique_ptr<QDBusConnection> m_client;
    CNotificationServer m_notifications;
};

} // namespace

TEST_F(DesktopNotifierTest, TheCallersTextIsEscapedExactlyWhereTheServerReadsMarkup) {
    CDesktopNotifier notifier(*m_client);
    const QString strText =
        QStringLiteral("<b>Vazi</b> & <a href=\"http://evil.invalid/\">x</a> - 0312345005");
    const QString strTitle = QStringLiteral("<i>T</i>");
    struct Case {
        QStringList capabilities;
        QString strBody;
    } cases[] = {
        {{QStringLiteral("body"), QStringLiteral("body-markup")},
         QStringLiteral(
             "&lt;b&gt;Vazi&lt;/b&gt; &amp; &lt;a href=&quot;http://evil.invalid/&quot;&gt;x&lt;/a&gt; "
             "- 0312345005")},
        {{QStringLiteral("body")}, strText},
    };
    size_t n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capabilities.join(' ').toStdString());
        m_notifications.m_capabilities = c.capabilities;
        ASSERT_TRUE(notifier.Show(strTitle, strText, 10000));
        ASSERT_TRUE(WaitForNotes(++n));
        const CNotificationServer::CNote& note = m_notifications.m_notes.back();
        EXPECT_EQ(note.strBody, c.strBody);
        EXPECT_EQ(note.strSummary, strTitle) << "the summary is never markup";
        EXPECT_EQ(note.strApp, QStringLiteral("KIVODialer"));
        EXPECT_EQ(note.nTimeoutMs, 10000);
        EXPECT_EQ(note.hints.value(QStringLiteral("urgency")).toInt(), 1)
            << "normal: a banner on every desktop";
    }
    EXPECT_EQ(m_notifications.m_notes[1].nReplaces, 41u) << "each notification replaces the one before";
}

TEST_F(DesktopNotifierTest, ANotificationAskedForWhileOneIsOnItsWayReplacesIt) {
    CDesktopNotifier notifier(*m_client);
    m_notifications.m_capabilities = {QStringLiteral("body")};
    ASSERT_TRUE(notifier.Show(QStringLiteral("着信"), QStringLiteral("first"), 10000));
    ASSERT_TRUE(notifier.Show(QStringLiteral("着信"), QStringLiteral("second"), 10000));
    ASSERT_TRUE(notifier.Show(QStringLiteral("着信"), QStringLiteral("third"), 10000));
    ASSERT_TRUE(WaitForNotes(2));
    EXPECT_EQ(m_notifications.m_notes[0].strBody, QStringLiteral("first"));
    EXPECT_EQ(m_notifications.m_notes[1].strBody, QStringLiteral("third")) << "the latest one, once";
    EXPECT_EQ(m_notifications.m_notes[1].nReplaces, 41u);
}

#include "DesktopNotifierTest.moc"
