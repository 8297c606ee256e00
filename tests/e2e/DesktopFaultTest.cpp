// The real program on a private X display, against the simulator, where faults need a desktop: a tray
// host that comes only after the program, a flood of hostile datagrams before the menu is opened, the
// exit command and the end of the X session with calls in the history, and a notification server that
// reads markup.
#include "tests/e2e/DesktopSession.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProgramProcess.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>

using namespace std::chrono_literals;

namespace {

// Polls until pred holds, letting this process's own D-Bus services answer meanwhile.
bool WaitProcessing(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    return CProgramProcess::WaitUntil(
        [&] {
            QCoreApplication::processEvents();
            return pred();
        },
        timeout);
}

class DesktopFaultTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_sim.IsRunning());
        ASSERT_TRUE(m_desktop.IsRunning()) << "Xvfb did not start";
        m_nUdpPort = CProgramProcess::FreeUdpPort();
        m_program.WriteProfile(CProgramProcess::Profile(m_sim.HostPort(), m_nUdpPort));
    }

    void StartProgram() {
        for (const auto& [strName, strValue] : m_desktop.ProgramEnv())
            m_program.Env().insert(QString::fromStdString(strName), QString::fromStdString(strValue));
        ASSERT_TRUE(m_program.Start());
    }
    // Until the first registration has been answered and the program is logged in.
    bool WaitForLogin() {
        return CProgramProcess::WaitUntil([&] { return m_program.LoginFlag() == 1; }, 5s) &&
               CProgramProcess::WaitUntil(
                   [&] {
                       return m_sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos;
                   },
                   6s);
    }
    std::string WaitForIcon(std::chrono::milliseconds timeout = 5s) {
        std::string strIcon;
        CProgramProcess::WaitUntil(
            [&] {
                strIcon = m_desktop.IconWindow(m_program.Pid());
                return !strIcon.empty();
            },
            timeout);
        return strIcon;
    }
    std::string WaitForPopup(std::chrono::milliseconds timeout = 3s) {
        std::string strPopup;
        CProgramProcess::WaitUntil(
            [&] {
                strPopup = m_desktop.PopupWindow(m_program.Pid());
                return !strPopup.empty();
            },
            timeout);
        return strPopup;
    }
    // Announces a call and waits until the program has stored it.
    void AnnounceCall(const std::string& strNumber) {
        const size_t nBefore = m_program.StoredNumbers().size();
        CUdpSender(m_nUdpPort).Send(CProgramProcess::CallText(strNumber, "Vazi"));
        ASSERT_TRUE(
            CProgramProcess::WaitUntil([&] { return m_program.StoredNumbers().size() > nBefore; }, 4s));
    }
    CSimProcess m_sim{{"--account", "2001:pw"}};
    CDesktopSession m_desktop;
    CProgramProcess m_program;
    int m_nUdpPort = 0;
};

} // namespace

// No tray host when the program starts (a session whose panel comes up late): the icon waits without
// blocking anything, and appears by itself once a tray host is there.
TEST_F(DesktopFaultTest, TheIconAppearsWhenTheTrayHostComesAfterTheProgram) {
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    EXPECT_EQ(m_desktop.IconWindow(m_program.Pid()), "") << "nothing to dock in yet";
    AnnounceCall("0312345001"); // the program works meanwhile

    m_desktop.StartTrayHost();
    const std::string strIcon = WaitForIcon();
    ASSERT_NE(strIcon, "") << "the icon docks once the tray host is there";
    m_desktop.Click(strIcon, 3);
    EXPECT_NE(WaitForPopup(), "") << "and answers clicks";
    m_desktop.Key("Escape");

    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(3000));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
}

// Thousands of hostile datagrams from several senders at once: the program neither crashes nor stops
// answering, and a click on the icon right after still opens the menu.
TEST_F(DesktopFaultTest, AFloodOfHostileDatagramsLeavesTheMenuOpening) {
    m_desktop.StartTrayHost();
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    const std::string strIcon = WaitForIcon();
    ASSERT_NE(strIcon, "");

    std::vector<std::thread> senders;
    for (unsigned nSender = 0; nSender < 4; ++nSender) {
        senders.emplace_back([this, nSender] {
            CUdpSender sender(m_nUdpPort);
            std::mt19937 random(nSender);
            for (int i = 0; i < 2000; ++i) {
                std::string bytes(1 + random() % 3000, '\0');
                for (char& ch : bytes)
                    ch = static_cast<char>(random());
                if (i % 4 == 0)
                    bytes =
                        "request\t2001\t\t03" + std::to_string(i) + "\t" + std::string(1500, '\xe7') + "\t";
                sender.Send(bytes);
            }
        });
    }
    for (std::thread& sender : senders)
        sender.join();

    m_desktop.Click(strIcon, 1);
    const std::string strMenu = WaitForPopup(2s);
    EXPECT_NE(strMenu, "") << "a single click opens the left-click menu";
    m_desktop.Key("Escape");
    ASSERT_TRUE(m_program.IsRunning()) << m_program.Log();
    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(3000));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
}

// The exit command (right-click menu, "終了(&X)", Yes) saves the call history on its way out.
TEST_F(DesktopFaultTest, TheExitCommandSavesTheHistory) {
    m_desktop.StartTrayHost();
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    const std::string strIcon = WaitForIcon();
    ASSERT_NE(strIcon, "");
    AnnounceCall("0312345002");
    ASSERT_TRUE(m_program.EraseProfileSection("CDR")); // only the save at exit brings it back
    ASSERT_TRUE(m_program.StoredNumbers().empty());

    m_desktop.Click(strIcon, 3);
    ASSERT_NE(WaitForPopup(), "");
    m_desktop.Key("x");
    const std::string strBox = WaitForPopup();
    ASSERT_NE(strBox, "") << "the exit question";
    m_desktop.Run("xdotool windowfocus --sync " + strBox);
    m_desktop.Key("Return"); // Yes is the default button
    ASSERT_TRUE(m_program.WaitForExit(3000));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
    EXPECT_EQ(m_program.StoredNumbers(), std::vector<std::string>{"0312345002"});
}

// The session ends (SIGTERM, SIGHUP) while a message box waits for an answer: the box does not hold the
// program, which ends at once and saves the history.
TEST_F(DesktopFaultTest, AnEndSignalWhileAMessageBoxIsOpenStillEndsTheProgram) {
    m_desktop.StartTrayHost();
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    const std::string strIcon = WaitForIcon();
    ASSERT_NE(strIcon, "");
    AnnounceCall("0312345007");
    ASSERT_TRUE(m_program.EraseProfileSection("CDR"));

    m_desktop.Click(strIcon, 3);
    ASSERT_NE(WaitForPopup(), "");
    m_desktop.Key("x");
    ASSERT_NE(WaitForPopup(), "") << "the exit question waits";
    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(3000)) << "the open box held the program";
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
    EXPECT_EQ(m_program.StoredNumbers(), std::vector<std::string>{"0312345007"});
}

// The desktop session ends under the running program (the X server goes): whatever way the program then
// ends, the calls it handled are in the profile, complete and readable.
TEST_F(DesktopFaultTest, TheEndOfTheXSessionLosesNoCall) {
    m_desktop.StartTrayHost();
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    AnnounceCall("0312345003");
    AnnounceCall("0312345004");
    m_desktop.StopDisplay();
    ASSERT_TRUE(m_program.WaitForExit(5000)) << "the program does not outlive its display";
    QSettings profile(QString::fromStdString(m_program.ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(profile.status(), QSettings::NoError);
    EXPECT_EQ(m_program.StoredNumbers(), (std::vector<std::string>{"0312345003", "0312345004"}));
    EXPECT_EQ(profile.value("CDR/CallName2").toString(), "Vazi");
    EXPECT_EQ(profile.value("CDR/Mode2").toString(), "1");
    EXPECT_FALSE(profile.value("CDR/Time2").toString().isEmpty());
}

namespace {

// Stand-ins for a desktop's StatusNotifierItem host and notification server on the private session bus,
// served by this test process.
class CFakeTrayWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
public:
    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const { return m_items; }
public slots:
    void RegisterStatusNotifierItem(const QString& strService) { m_items << strService; }
    void RegisterStatusNotifierHost(const QString&) {}

public:
    QStringList m_items;
};

class CFakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    QStringList GetCapabilities() { return m_capabilities; }
    uint Notify(const QString&, uint, const QString&, const QString& strSummary, const QString& strBody,
                const QStringList&, const QVariantMap&, int) {
        m_notes.emplace_back(strSummary, strBody);
        return static_cast<uint>(m_notes.size());
    }
    void CloseNotification(uint) {}

public:
    QStringList m_capabilities;
    std::vector<std::pair<QString, QString>> m_notes; // summary, body
};

} // namespace

// On a desktop whose tray is a StatusNotifierItem host, the balloon is a desktop notification. A server
// that reads its body as markup gets the caller's text escaped, so that a datagram cannot put a link,
// a picture or formatting into it; a server that does not gets the text as it is.
TEST_F(DesktopFaultTest, ANotificationServerThatReadsMarkupGetsTheCallersTextEscaped) {
    ASSERT_TRUE(m_desktop.StartSessionBus());
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromStdString(m_desktop.BusAddress()),
                                                        QStringLiteral("kivo-e2e-desktop"));
    ASSERT_TRUE(bus.isConnected());
    CFakeTrayWatcher watcher;
    CFakeNotificationServer server;
    server.m_capabilities = {QStringLiteral("body"), QStringLiteral("body-markup")};
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    StartProgram();
    ASSERT_TRUE(WaitProcessing([&] { return m_program.LoginFlag() == 1; }, 5s)) << m_program.Log();
    ASSERT_TRUE(WaitProcessing([&] { return !watcher.m_items.isEmpty(); }, 5s))
        << "the icon is a StatusNotifierItem";

    const std::string strName = "<b>Vazi</b> & <a href=\"http://evil.invalid/\">x</a>";
    CUdpSender sender(m_nUdpPort);
    sender.Send("request\t2001\t\t0312345005\t" + strName + "\t\t\t<i>T</i>\t\t\t\t");
    ASSERT_TRUE(WaitProcessing([&] { return server.m_notes.size() == 1; }, 5s)) << m_program.Log();
    EXPECT_EQ(server.m_notes[0].second, "&lt;b&gt;Vazi&lt;/b&gt; &amp; &lt;a "
                                        "href=&quot;http://evil.invalid/&quot;&gt;x&lt;/a&gt; - 0312345005");
    EXPECT_TRUE(server.m_notes[0].first.startsWith("<i>T</i>")) << "the summary is never markup";

    server.m_capabilities = {QStringLiteral("body")};
    sender.Send("request\t2001\t\t0312345006\t" + strName + "\t\t\t<i>T</i>\t\t\t\t");
    ASSERT_TRUE(WaitProcessing([&] { return server.m_notes.size() == 2; }, 5s)) << m_program.Log();
    EXPECT_EQ(server.m_notes[1].second.toStdString(), strName + " - 0312345006");

    m_program.Signal(SIGTERM);
    ASSERT_TRUE(WaitProcessing([&] { return !m_program.IsRunning(); }, 3s));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
    QDBusConnection::disconnectFromBus(QStringLiteral("kivo-e2e-desktop"));
}

#include "DesktopFaultTest.moc"

// The settings dialog, and the exit question over it, leave the rest of the program live: the tray
// icon's menus still open, and choosing the command of an open dialog again only brings it to the front.
TEST_F(DesktopFaultTest, TheTrayStaysLiveWhileTheSettingsDialogIsOpen) {
    m_desktop.StartTrayHost();
    StartProgram();
    ASSERT_TRUE(WaitForLogin()) << m_program.Log();
    const std::string strIcon = WaitForIcon();
    ASSERT_NE(strIcon, "");
    // The program's menus, dialogs and boxes on screen (the icon is small).
    const auto TallWindows = [&] {
        std::set<std::string> ids;
        for (const auto& [strId, nHeight] : m_desktop.VisibleWindows(m_program.Pid()))
            if (nHeight > 40)
                ids.insert(strId);
        return ids;
    };
    const auto WaitForTallWindows = [&](size_t n) {
        return CProgramProcess::WaitUntil([&] { return TallWindows().size() == n; }, 3s);
    };
    // Opens a menu with a click and waits for it; returns its window, or empty. A click within the
    // double-click interval (400 ms) of the one before reaches the icon as a double click, which opens
    // no menu: the clicks are kept further apart, as a user's would be.
    auto lastClick = std::chrono::steady_clock::now() - 1s;
    const auto OpenMenu = [&](int nButton) {
        const std::set<std::string> before = TallWindows();
        std::this_thread::sleep_until(lastClick + 600ms);
        m_desktop.Click(strIcon, nButton);
        lastClick = std::chrono::steady_clock::now();
        std::string strMenu;
        CProgramProcess::WaitUntil(
            [&] {
                for (const std::string& strId : TallWindows())
                    if (!before.count(strId))
                        strMenu = strId;
                return !strMenu.empty();
            },
            3s);
        return strMenu;
    };
    // Chooses a right-click menu item by its mnemonic, and waits until the menu has gone.
    const auto Choose = [&](const char* pszMnemonic) {
        const std::string strMenu = OpenMenu(3);
        ASSERT_NE(strMenu, "") << "the right-click menu opens";
        m_desktop.Key(pszMnemonic);
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return !TallWindows().count(strMenu); }, 3s));
    };

    Choose("s");
    ASSERT_TRUE(WaitForTallWindows(1)) << "the settings dialog is open";
    const std::string strLeftMenu = OpenMenu(1);
    EXPECT_NE(strLeftMenu, "") << "the left-click menu opens while the settings dialog is open";
    m_desktop.Key("Escape");
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return !TallWindows().count(strLeftMenu); }, 3s));
    ASSERT_EQ(TallWindows().size(), 1u) << "the settings dialog is still open";

    Choose("s");
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(TallWindows().size(), 1u) << "the open dialog comes to the front, no second one";

    Choose("x");
    ASSERT_TRUE(WaitForTallWindows(2)) << "the exit question shows beside the settings dialog";
    Choose("x");
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(TallWindows().size(), 2u) << "the open question comes to the front, no second one";

    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(3000));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
}
