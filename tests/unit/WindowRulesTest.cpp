// Each window of the tray commands exists once: what a request does in each state of each window.
#include "tray/WindowRules.h"

#include "tests/support/FakeTrayShell.h"

#include <gtest/gtest.h>

namespace {
using W = ETrayWindow;
using S = ETrayWindowState;
using Calls = std::vector<CFakeTrayWindows::CCall>;
} // namespace

TEST(WindowRules, ModelessWindowsOpenOnce) {
    struct CCase {
        W window;
        S state;
        Calls calls;
    };
    const CCase cases[] = {
        {W::Dial, S::None, {{"create", W::Dial}}},
        {W::Dial, S::Open, {{"front", W::Dial}}},
        // A closed dial dialog is made anew: it reads the clipboard and the history again.
        {W::Dial, S::Closed, {{"delete", W::Dial}, {"create", W::Dial}}},
        {W::CallHistory, S::None, {{"create", W::CallHistory}, {"front", W::CallHistory}}},
        {W::CallHistory, S::Open, {{"front", W::CallHistory}}},
        // A closed call history window keeps its rows.
        {W::CallHistory, S::Closed, {{"show again", W::CallHistory}, {"front", W::CallHistory}}},
    };
    for (const CCase& c : cases) {
        CFakeTrayWindows windows;
        windows.m_states[c.window] = c.state;
        OpenWindowOnce(windows, c.window);
        EXPECT_EQ(windows.m_calls, c.calls) << int(c.window) << " " << int(c.state);
        EXPECT_EQ(windows.m_states[c.window], S::Open);
    }
}

TEST(WindowRules, ModalWindowsRunOnceAndTellOk) {
    for (W window : {W::Settings, W::About}) {
        CFakeTrayWindows windows;
        bool bInner = true;
        windows.m_runModal = [&](W) {
            bInner = RunModalOnce(windows, window); // only brings the open one to the front
            return true;
        };
        EXPECT_TRUE(RunModalOnce(windows, window));
        EXPECT_FALSE(bInner);
        EXPECT_EQ(windows.m_calls, (Calls{{"run", window}, {"front", window}}));
        windows.m_runModal = [](W) { return false; };
        EXPECT_FALSE(RunModalOnce(windows, window));
    }
}
