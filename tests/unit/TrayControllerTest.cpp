// The tray controller's decisions on a desktop that only records (CFakeTrayShell): the click and
// double-click state machine, the timers and their periods, the icon and its retry while no tray exists,
// registration with its retries, give-up and hold, the drain tick, the command table, the exit question
// and the end of the session.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "app/TextUtil.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeTrayShell.h"
#include "tray/RegisterDecision.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kRefreshMin = 10800000;
constexpr int kRefreshMax = 17353400;

class CFixedClock : public IClock {
public:
    std::time_t Now() override { return 1706659507; }
};

// Records the commands' handlers as they run, and lets them run on.
class CRecordingWnd : public CKIVODialerWnd {
public:
    using CKIVODialerWnd::CKIVODialerWnd;
    void OnDial() override {
        m_commands.push_back(ID_DIAL);
        CKIVODialerWnd::OnDial();
    }
    void OnCallHistory() override {
        m_commands.push_back(ID_CALL_HISTORY);
        CKIVODialerWnd::OnCallHistory();
    }
    void OnSettings() override {
        m_commands.push_back(ID_SETTINGS);
        CKIVODialerWnd::OnSettings();
    }
    void OnAbout() override {
        m_commands.push_back(ID_APP_ABOUT);
        CKIVODialerWnd::OnAbout();
    }
    std::vector<int> m_commands;
};

class TrayControllerTest : public testing::Test {
protected:
    TrayControllerTest() {
        m_p.nFlag = 99; // neither logged in nor out until the controller publishes the flag
        m_profile.WriteProfileString(kSectionSettings, u"User", u"2001");
        m_profile.WriteProfileString(kSectionSettings, u"Pass", u"pw");
        m_profile.WriteProfileString(kSectionSettings, u"PBX", u"pbx.invalid");
        // The channel listens on loopback, on a port the system picks.
        m_profile.WriteProfileString(u"Config-UDP", u"Host", u"127.0.0.1");
        m_profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", 0);
    }

    void Create() {
        m_pApp = std::make_unique<CKIVODialerApp>(m_p.Platform(m_profile, m_clock));
        ASSERT_TRUE(m_pApp->InitInstance(u""));
        m_pWnd = std::make_unique<CRecordingWnd>(*m_pApp, m_shell);
        ASSERT_TRUE(m_pWnd->CreateMainWindow());
        m_pApp->m_pMainWnd = m_pWnd.get();
    }
    void TearDown() override {
        m_pWnd.reset();
        if (m_pApp)
            m_pApp->m_pMainWnd = nullptr;
    }

    // The mouse on the icon, and the loop delivering what the tray callback posted.
    void Mouse(ETrayHostEvent event) {
        m_shell.m_pEvents->OnTrayHostEvent(event);
        m_shell.DeliverPosted();
    }
    void ExpireClick() {
        ASSERT_EQ(m_shell.Timer(kTimerClick), 200);
        m_shell.m_pEvents->OnTimer(kTimerClick);
    }
    // The menus shown since the last look.
    std::vector<ETrayMenu> MenusShown() { return std::exchange(m_shell.m_menus, {}); }
    void ExpireRegister() { m_pWnd->OnTimer(kTimerRegister); }
    void Queue(std::u16string_view text) {
        m_pWnd->m_queue.PutData(text.data(), static_cast<int32_t>(text.size() * sizeof(char16_t)));
    }

    CMemoryProfile m_profile;
    CFakePlatform m_p;
    CFixedClock m_clock;
    CFakeTrayShell m_shell;
    std::unique_ptr<CKIVODialerApp> m_pApp;
    std::unique_ptr<CRecordingWnd> m_pWnd;
};

using ETrayMenus = std::vector<ETrayMenu>;

} // namespace

TEST_F(TrayControllerTest, CreationShowsTheGreyIconAndArmsRegistrationAndTheChannel) {
    Create();
    EXPECT_EQ(m_shell.m_pEvents, m_pWnd.get());
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Logout);
    EXPECT_EQ(m_shell.m_strTip, u"KIVODialer(未接続)");
    EXPECT_TRUE(m_shell.m_bShown);
    EXPECT_TRUE(m_shell.m_bWatching);
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 2000);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    if (m_pWnd->m_terminal.HasTerminal()) {
        EXPECT_EQ(m_shell.Timer(kTimerDrain), 1000);
    }
    EXPECT_FALSE(m_pWnd->IsTrayRetryPending());
    EXPECT_EQ(m_p.nFlag, 1u) << "the login flag is published with the icon";
    EXPECT_TRUE(m_p.requests.empty());
}

// Single clicks, double clicks as an XEmbed tray and as a StatusNotifierItem host report them, and a
// double click followed by a click: the menus each sequence opens and the commands it runs.
TEST_F(TrayControllerTest, ClicksAndDoubleClicks) {
    Create();
    Mouse(ETrayHostEvent::Trigger);
    EXPECT_EQ(MenusShown(), ETrayMenus{}) << "the menu waits for the click timer";
    ExpireClick();
    EXPECT_EQ(MenusShown(), ETrayMenus{ETrayMenu::LeftClick});
    EXPECT_EQ(m_shell.Timer(kTimerClick), 0);

    // XEmbed: Trigger, then DoubleClick.
    Mouse(ETrayHostEvent::Trigger);
    Mouse(ETrayHostEvent::DoubleClick);
    EXPECT_EQ(m_pWnd->m_commands, std::vector<int>{ID_DIAL});
    EXPECT_TRUE(m_pWnd->m_bDblClick);
    ExpireClick(); // armed again by the release that ends the double click
    EXPECT_EQ(MenusShown(), ETrayMenus{});
    EXPECT_FALSE(m_pWnd->m_bDblClick);
    Mouse(ETrayHostEvent::Trigger);
    ExpireClick();
    EXPECT_EQ(MenusShown(), ETrayMenus{ETrayMenu::LeftClick}) << "the next click opens the menu again";

    // StatusNotifierItem: two Activates, the second while the click timer of the first runs.
    m_pWnd->m_commands.clear();
    m_pApp->m_nDblClk = 1;
    Mouse(ETrayHostEvent::Activate);
    EXPECT_EQ(m_shell.Timer(kTimerClick), 200);
    Mouse(ETrayHostEvent::Activate);
    EXPECT_EQ(m_pWnd->m_commands, std::vector<int>{ID_CALL_HISTORY});
    ExpireClick();
    EXPECT_EQ(MenusShown(), ETrayMenus{});
    Mouse(ETrayHostEvent::Activate);
    ExpireClick();
    EXPECT_EQ(MenusShown(), ETrayMenus{ETrayMenu::LeftClick}) << "one Activate alone opens the menu";

    // A host that draws the menu on a click sends Activate only for a double click.
    m_pWnd->m_commands.clear();
    m_shell.m_bMenuOnLeftClick = true;
    Mouse(ETrayHostEvent::Activate);
    EXPECT_EQ(m_pWnd->m_commands, std::vector<int>{ID_CALL_HISTORY});
    ExpireClick();
    EXPECT_EQ(MenusShown(), ETrayMenus{});
}

TEST_F(TrayControllerTest, RightClickOpensItsMenuAtOnceAndOtherMessagesDoNothing) {
    Create();
    Mouse(ETrayHostEvent::Context);
    EXPECT_EQ(MenusShown(), ETrayMenus{ETrayMenu::RightClick});
    EXPECT_EQ(m_shell.Timer(kTimerClick), 0);

    m_pWnd->OnTrayNotify(kTrayIconId, WM_LBUTTONDOWN);
    m_pWnd->OnTrayNotify(kTrayIconId, WM_RBUTTONDOWN);
    m_pWnd->OnTrayNotify(kTrayIconId + 1, WM_LBUTTONUP);
    m_pWnd->OnTrayNotify(kTrayIconId + 1, WM_RBUTTONUP);
    Mouse(ETrayHostEvent::SecondaryActivate);
    EXPECT_TRUE(m_shell.m_posted.empty());
    EXPECT_EQ(m_shell.Timer(kTimerClick), 0);
    EXPECT_EQ(MenusShown(), ETrayMenus{});
}

TEST_F(TrayControllerTest, DoubleClickActionFollowsTheSetting) {
    Create();
    const std::pair<int, int> cases[] = {{0, ID_DIAL}, {1, ID_CALL_HISTORY}, {5, ID_DIAL}, {-1, ID_DIAL}};
    for (auto [nDblClk, nCommand] : cases) {
        m_pWnd->m_commands.clear();
        m_pApp->m_nDblClk = nDblClk;
        m_pWnd->OnLButtonDblClk();
        EXPECT_EQ(m_pWnd->m_commands, std::vector<int>{nCommand}) << nDblClk;
    }
}

// Each command id reaches its handler; the dial dialog, the call history window and the exchange's pages
// need the login, the settings dialog and the about box do not.
TEST_F(TrayControllerTest, CommandTable) {
    Create();
    using W = ETrayWindow;
    struct CCase {
        int nId;
        bool bLogin;
        std::vector<CFakeTrayWindows::CCall> calls;
        size_t nAddresses;
    };
    const CCase cases[] = {
        {ID_DIAL, true, {{"create", W::Dial}}, 0},
        {ID_DIAL, false, {}, 0},
        {ID_CALL_HISTORY, true, {{"create", W::CallHistory}, {"front", W::CallHistory}}, 0},
        {ID_CALL_HISTORY, false, {}, 0},
        {ID_PBX_MANAGER, true, {}, 1},
        {ID_PBX_ADDRBOOK, true, {}, 1},
        {ID_PBX_CDR, true, {}, 1},
        {ID_PBX_CDR, false, {}, 0},
        {ID_SETTINGS, false, {{"run", W::Settings}}, 0},
        {ID_APP_ABOUT, false, {{"run", W::About}}, 0},
        {ID_CDR_COPY, true, {}, 0},
        {0, true, {}, 0},
    };
    for (const CCase& c : cases) {
        m_shell.m_windows = CFakeTrayWindows();
        m_shell.m_addresses.clear();
        m_pApp->m_bLogin = c.bLogin;
        m_pWnd->OnCommand(c.nId);
        EXPECT_EQ(m_shell.m_windows.m_calls, c.calls) << c.nId << " login " << c.bLogin;
        EXPECT_EQ(m_shell.m_addresses.size(), c.nAddresses) << c.nId << " login " << c.bLogin;
    }
    m_pApp->m_bLogin = true;
    m_pWnd->OnCommand(ID_PBX_ADDRBOOK);
    EXPECT_EQ(m_shell.m_addresses.back(),
              u"http://pbx.invalid/manager/login?username=2001&password=pw&redirecturl=%2Faddrbook");
}

TEST_F(TrayControllerTest, RegistrationRetriesGivesUpAndStartsAgain) {
    m_p.replyBody = "NG;Auth NG";
    Create();
    for (unsigned n = 1; n <= 4; ++n) {
        ExpireRegister();
        EXPECT_EQ(m_shell.Timer(kTimerRegister), 10000) << n;
        EXPECT_EQ(m_pWnd->m_nRetry, n);
        EXPECT_FALSE(m_pApp->m_bLogin);
        EXPECT_EQ(m_p.nFlag, 0u);
        EXPECT_EQ(m_shell.m_icon, ETrayIcon::Logout);
        EXPECT_EQ(m_shell.m_strTip, u"KIVODialer(未接続)");
    }
    EXPECT_TRUE(m_p.boxes.empty());
    ExpireRegister();
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 0) << "the fifth failure kills the timer";
    EXPECT_EQ(m_pWnd->m_nRetry, 0u);
    ASSERT_EQ(m_p.boxes.size(), 1u);
    EXPECT_EQ(m_p.boxes[0].text, kRegisterGiveUpMessage);
    EXPECT_EQ(m_p.boxes[0].caption, u"KIVODialer");
    EXPECT_EQ(m_p.boxes[0].type, MB_ICONINFORMATION | MB_SYSTEMMODAL);
    EXPECT_EQ(m_p.requests.size(), 5u);

    m_p.replyBody = "OK";
    m_pWnd->ScheduleRegister(1000);
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 1000);
    ExpireRegister();
    EXPECT_TRUE(m_pApp->m_bLogin);
    EXPECT_EQ(m_p.nFlag, 1u);
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Login);
    EXPECT_EQ(m_shell.m_strTip, u"KIVODialer");
    const int nPeriod = m_shell.Timer(kTimerRegister);
    EXPECT_TRUE(nPeriod >= kRefreshMin && nPeriod <= kRefreshMax) << nPeriod;
    EXPECT_EQ(m_p.requests.back().target,
              "/manager/kivodialer/regist?callid=2001&passwd=pw&port=10640&type=0");
}

// While the settings dialog is open, expiries of the registration timer register nothing; OK restarts
// the channel and registers one second later, Cancel leaves the refresh cycle as it was.
TEST_F(TrayControllerTest, SettingsHoldRegistration) {
    Create();
    ExpireRegister();
    ASSERT_EQ(m_p.requests.size(), 1u);
    const int nRefresh = m_shell.Timer(kTimerRegister);

    bool bOk = false;
    m_shell.m_windows.m_runModal = [&](ETrayWindow window) {
        EXPECT_EQ(window, ETrayWindow::Settings);
        EXPECT_TRUE(m_pWnd->m_bHoldRegister);
        ExpireRegister();
        // Chosen again while open: brought to the front, still held.
        m_pWnd->OnCommand(ID_SETTINGS);
        EXPECT_TRUE(m_pWnd->m_bHoldRegister);
        return bOk;
    };
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_FALSE(m_pWnd->m_bHoldRegister);
    EXPECT_EQ(m_p.requests.size(), 1u);
    EXPECT_EQ(m_shell.Timer(kTimerRegister), nRefresh);
    EXPECT_EQ(m_shell.m_windows.m_calls,
              (std::vector<CFakeTrayWindows::CCall>{{"run", ETrayWindow::Settings},
                                                    {"front", ETrayWindow::Settings}}));

    bOk = true;
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_FALSE(m_pWnd->m_bHoldRegister);
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 1000);
    ExpireRegister();
    EXPECT_EQ(m_p.requests.size(), 2u);
}

TEST_F(TrayControllerTest, IncompleteSettingsSendNothing) {
    m_profile.WriteProfileString(kSectionSettings, u"PBX", u"");
    Create();
    for (int n = 0; n < 3; ++n)
        ExpireRegister();
    EXPECT_TRUE(m_p.requests.empty());
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 2000);
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Logout);
}

// One notification per tick, only while logged in: the balloon for 10 s and the record.
TEST_F(TrayControllerTest, TheDrainTickShowsOneCallPerSecondWhileLoggedIn) {
    Create();
    Queue(u"request\t2001\t\t0312345678\tVazi\tSales\t\t着信\t9\tline1\tline2\t");
    Queue(u"requpstate\t2001\t\t03\t");
    m_pApp->m_bLogin = false;
    m_pWnd->OnTimer(kTimerDrain);
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 2u);
    EXPECT_TRUE(m_shell.m_balloons.empty());

    m_pApp->m_bLogin = true;
    m_pWnd->OnTimer(kTimerDrain);
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 1u);
    EXPECT_EQ(m_shell.Timer(kTimerDrain), 1000);
    ASSERT_EQ(m_shell.m_balloons.size(), 1u);
    EXPECT_EQ(m_shell.m_balloons[0].strTitle, u"着信" + std::u16string(8, u'\u3000'));
    EXPECT_EQ(m_shell.m_balloons[0].strText, u"Vazi[Sales] - 0312345678");
    EXPECT_EQ(m_shell.m_balloons[0].nTimeoutMs, 10000);
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Logout) << "the icon stays as it is";
    ASSERT_EQ(m_pWnd->GetCdrList().size(), 1u);
    EXPECT_EQ(m_pWnd->GetCdrList().back().strName, u"Vazi[Sales]");

    m_pWnd->OnTimer(kTimerDrain); // another keyword: no trace
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 0u);
    EXPECT_EQ(m_shell.m_balloons.size(), 1u);
    EXPECT_EQ(m_pWnd->GetCdrList().size(), 1u);
}

// No tray at the start: the icon keeps its image and tooltip and is retried every 2 s until a tray takes
// it; a tray host that goes starts the wait again, one that comes back gets the icon of the login state.
TEST_F(TrayControllerTest, TheIconWaitsForATray) {
    m_shell.m_bTrayExists = false;
    Create();
    EXPECT_FALSE(m_shell.m_bShown);
    EXPECT_EQ(m_shell.Timer(kTimerTrayRetry), 2000);
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Logout);
    m_pWnd->OnTimer(kTimerTrayRetry);
    EXPECT_EQ(m_shell.Timer(kTimerTrayRetry), 2000) << "still no tray";

    m_shell.m_bTrayExists = true;
    m_pWnd->OnTimer(kTimerTrayRetry);
    EXPECT_TRUE(m_shell.m_bShown);
    EXPECT_FALSE(m_pWnd->IsTrayRetryPending());

    m_shell.m_bShown = false;
    m_shell.m_pEvents->OnTrayHostLost();
    EXPECT_EQ(m_shell.Timer(kTimerTrayRetry), 2000);
    ExpireRegister(); // logs in: the icon is changed and shown again at once
    EXPECT_TRUE(m_shell.m_bShown);
    EXPECT_FALSE(m_pWnd->IsTrayRetryPending());

    m_shell.m_icon = ETrayIcon::None;
    m_shell.m_strTip = u"-";
    m_shell.m_pEvents->OnTaskbarCreated();
    EXPECT_EQ(m_shell.m_icon, ETrayIcon::Login);
    EXPECT_EQ(m_shell.m_strTip, u"-") << "the tooltip waits for the next registration";
}

TEST_F(TrayControllerTest, LongTooltipsAreCutTo127Characters) {
    Create();
    const std::u16string strTip(200, u'x');
    m_pWnd->UpdateTrayIcon(NIM_MODIFY, ETrayIcon::None, &strTip);
    EXPECT_EQ(m_shell.m_strTip, std::u16string(127, u'x'));
    EXPECT_EQ(m_pWnd->TrayTip(), m_shell.m_strTip);
}

TEST_F(TrayControllerTest, ExitAsksAndYesClosesOnce) {
    Create();
    m_pWnd->AddRecord(u"0312345678", u"Vazi", kCdrModeReceived);
    m_profile.Erase(kSectionCdr, u"CallNum1");

    m_p.answers = {IDNO};
    m_pWnd->OnCommand(ID_APP_EXIT);
    m_shell.DeliverPosted();
    ASSERT_EQ(m_p.boxes.size(), 1u);
    EXPECT_EQ(m_p.boxes[0].text, u"終了します。よろしいですか？");
    EXPECT_EQ(m_p.boxes[0].caption, u"KIVODialer");
    EXPECT_EQ(m_p.boxes[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(m_shell.m_nLoopEnds, 0);
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 2000);

    m_p.answers = {IDYES};
    m_pWnd->OnCommand(ID_APP_EXIT);
    EXPECT_EQ(m_shell.m_nLoopEnds, 0) << "the close is posted";
    m_shell.DeliverPosted();
    EXPECT_EQ(m_shell.m_nLoopEnds, 1);
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"0312345678");
    EXPECT_FALSE(m_pWnd->m_terminal.HasTerminal());
    EXPECT_FALSE(m_shell.m_bShown);
    EXPECT_FALSE(m_shell.m_bWatching);
    EXPECT_TRUE(m_shell.m_timers.empty());
    m_pWnd->DestroyWindow();
    EXPECT_EQ(m_shell.m_nLoopEnds, 1) << "destroyed once";
    m_pWnd.reset();
    EXPECT_EQ(m_shell.m_pEvents, nullptr);
}

TEST_F(TrayControllerTest, TheSessionEndSavesAndPowerEventsAreAcknowledged) {
    Create();
    m_pWnd->AddRecord(u"01", u"", kCdrModePlaced);
    m_profile.Erase(kSectionCdr, u"CallNum1");
    EXPECT_TRUE(m_shell.m_pEvents->OnQueryEndSession());
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"01");
    EXPECT_EQ(m_shell.Timer(kTimerRegister), 2000) << "the program goes on";
    for (unsigned nEvent : {0x4u, 0x7u, 0x12u})
        EXPECT_TRUE(m_pWnd->OnPowerBroadcast(nEvent));
    EXPECT_EQ(m_shell.m_nLoopEnds, 0);
}
