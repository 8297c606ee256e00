// The tray window under Wine: the messages the system and the shell send it reach the controller as
// the events they stand for, and the controller's timers and posts come back through the thread's
// message queue. (The icon and its balloons need a tray: the desktop wine of the end-to-end suite.)
#include "platform/win32/WinTrayShell.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class CRecordingEvents : public ITrayEvents {
public:
    void OnTimer(int nId) override { Add("timer " + std::to_string(nId)); }
    void OnTrayHostEvent(ETrayHostEvent) override { Add("host event"); }
    void OnTrayNotify(unsigned wParam, unsigned lParam) override {
        Add("notify " + std::to_string(wParam) + " " + std::to_string(lParam));
    }
    void OnCommand(int nId) override { Add("command " + std::to_string(nId)); }
    void OnPosted(ETrayPost post) override {
        static const char* const kNames[] = {"LButtonUp", "LButtonDblClk", "RButtonUp", "Close"};
        Add(std::string("posted ") + kNames[static_cast<int>(post)]);
    }
    void OnTaskbarCreated() override { Add("taskbar created"); }
    void OnTrayHostLost() override { Add("host lost"); }
    bool OnQueryEndSession() override {
        Add("query end session");
        return true;
    }

    void Add(std::string strEvent) { m_events.push_back(std::move(strEvent)); }
    std::vector<std::string> m_events;
};

class CNoWindows : public ITrayWindows {
public:
    ETrayWindowState GetWindowState(ETrayWindow) override { return ETrayWindowState::None; }
    void CreateTrayWindow(ETrayWindow) override {}
    void DeleteTrayWindow(ETrayWindow) override {}
    void ShowAgain(ETrayWindow) override {}
    void BringToFront(ETrayWindow) override {}
    bool RunModal(ETrayWindow) override { return false; }
};

// Dispatches the thread's messages for a while, as the program's loop does.
void PumpFor(DWORD nMs) {
    const DWORD nEnd = GetTickCount() + nMs;
    while (static_cast<LONG>(nEnd - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

class WinTrayShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_shell.Create());
        m_shell.Attach(&m_events);
    }

    CNoWindows m_windows;
    CWinTrayShell m_shell{m_windows};
    CRecordingEvents m_events;
};

} // namespace

TEST_F(WinTrayShellTest, MessagesOfTheSystemAndTheShellReachTheController) {
    const UINT nTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    struct Case {
        UINT nMsg;
        WPARAM wParam;
        LPARAM lParam;
        const char* pszEvent; // null: none
        LRESULT nResult;
    } cases[] = {
        // The icon's callback, unchanged: the controller looks at the icon id and the mouse message.
        {WM_APP + 100, 100, WM_LBUTTONUP, "notify 100 514", 0},
        {WM_APP + 100, 100, WM_RBUTTONDOWN, "notify 100 516", 0},
        {WM_APP + 100, 7, WM_LBUTTONUP, "notify 7 514", 0},
        // What the controller posted to itself.
        {WM_LBUTTONUP, 0, 0, "posted LButtonUp", 0},
        {WM_LBUTTONDBLCLK, 0, 0, "posted LButtonDblClk", 0},
        {WM_RBUTTONUP, 0, 0, "posted RButtonUp", 0},
        // A menu's choice carries the command in the low word.
        {WM_COMMAND, MAKEWPARAM(32772, 0), 0, "command 32772", 0},
        {WM_COMMAND, MAKEWPARAM(57665, 0), 0, "command 57665", 0},
        // The close goes to the controller, which saves before the window goes.
        {WM_CLOSE, 0, 0, "posted Close", 0},
        {WM_QUERYENDSESSION, 0, 0, "query end session", TRUE},
        {WM_POWERBROADCAST, PBT_APMSUSPEND, 0, nullptr, TRUE},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, nullptr, TRUE},
        // The shell came back.
        {nTaskbarCreated, 0, 0, "taskbar created", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszEvent ? c.pszEvent : "no event");
        m_events.m_events.clear();
        EXPECT_EQ(SendMessageW(m_shell.Window(), c.nMsg, c.wParam, c.lParam), c.nResult);
        EXPECT_EQ(m_events.m_events,
                  c.pszEvent ? std::vector<std::string>{c.pszEvent} : std::vector<std::string>{});
    }
    EXPECT_TRUE(IsWindow(m_shell.Window())) << "WM_CLOSE alone must not destroy the window";
    EXPECT_FALSE(IsWindowVisible(m_shell.Window()));
}

TEST_F(WinTrayShellTest, TheTaskbarCreatedBroadcastReachesTheHiddenWindow) {
    DWORD_PTR nResult = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG,
                        2000, &nResult);
    EXPECT_EQ(m_events.m_events, std::vector<std::string>{"taskbar created"});
}

TEST_F(WinTrayShellTest, TimersFireByIdAndPostsComeThroughTheQueue) {
    m_shell.SetTimer(5, 40);
    m_shell.SetTimer(4, 10);
    m_shell.SetTimer(6, 10);
    m_shell.KillTimer(6);
    m_shell.PostToSelf(ETrayPost::LButtonDblClk);
    EXPECT_TRUE(m_events.m_events.empty()) << "a post is handled after the current message";
    PumpFor(150);
    m_shell.KillTimer(4);
    m_shell.KillTimer(5);
    const auto& events = m_events.m_events;
    auto count = [&](const char* psz) { return std::count(events.begin(), events.end(), psz); };
    EXPECT_EQ(count("posted LButtonDblClk"), 1);
    EXPECT_GE(count("timer 4"), 3);
    EXPECT_GE(count("timer 5"), 1);
    EXPECT_EQ(count("timer 6"), 0);
    EXPECT_LT(count("timer 5"), count("timer 4"));
}

TEST(WinTrayShell, TheFilterSeesMessagesFirstAndTheLoopEndsWithTheWindow) {
    // The controller ends the loop from a handler, as its close does.
    class CEndOnTimer : public CRecordingEvents {
    public:
        explicit CEndOnTimer(CWinTrayShell& shell) : m_shell(shell) {}
        void OnTimer(int) override { m_shell.EndMessageLoop(); }
        CWinTrayShell& m_shell;
    };
    CNoWindows windows;
    int nFiltered = 0;
    CWinTrayShell shell(windows, [&nFiltered](MSG& msg) {
        if (msg.message != WM_RBUTTONUP)
            return false;
        ++nFiltered;
        return true;
    });
    ASSERT_TRUE(shell.Create());
    CEndOnTimer events(shell);
    shell.Attach(&events);
    shell.PostToSelf(ETrayPost::RButtonUp);
    shell.PostToSelf(ETrayPost::LButtonUp);
    shell.SetTimer(4, 50);
    EXPECT_EQ(shell.RunMessageLoop(), 0);
    EXPECT_EQ(nFiltered, 1);
    EXPECT_EQ(events.m_events, std::vector<std::string>{"posted LButtonUp"});
    EXPECT_EQ(shell.Window(), nullptr);
}
