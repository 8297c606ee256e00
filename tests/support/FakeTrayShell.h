// A desktop for the tray controller that only records: the icon's image, tooltip and place in the tray,
// the timers by id, the menus shown, the messages posted (delivered when the test says), the windows made
// and run, the addresses handed to the browser. Portable, so that the controller's decisions are tested
// on every platform.
#pragma once

#include "platform/ITrayShell.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CFakeTrayWindows : public ITrayWindows {
public:
    ETrayWindowState GetWindowState(ETrayWindow window) override { return m_states[window]; }
    void CreateTrayWindow(ETrayWindow window) override {
        m_calls.push_back({"create", window});
        m_states[window] = ETrayWindowState::Open;
    }
    void DeleteTrayWindow(ETrayWindow window) override {
        m_calls.push_back({"delete", window});
        m_states[window] = ETrayWindowState::None;
    }
    void ShowAgain(ETrayWindow window) override {
        m_calls.push_back({"show again", window});
        m_states[window] = ETrayWindowState::Open;
    }
    void BringToFront(ETrayWindow window) override { m_calls.push_back({"front", window}); }
    bool RunModal(ETrayWindow window) override {
        m_calls.push_back({"run", window});
        m_states[window] = ETrayWindowState::Open;
        const bool bOk = m_runModal ? m_runModal(window) : false;
        m_states[window] = ETrayWindowState::None;
        return bOk;
    }

    struct CCall {
        std::string strWhat;
        ETrayWindow window;
        bool operator==(const CCall&) const = default;
    };
    std::map<ETrayWindow, ETrayWindowState> m_states;
    std::vector<CCall> m_calls;
    std::function<bool(ETrayWindow)> m_runModal;
};

class CFakeTrayShell : public ITrayShell {
public:
    void Attach(ITrayEvents* pEvents) override { m_pEvents = pEvents; }
    void WatchTrayHosts(bool bWatch) override { m_bWatching = bWatch; }
    bool HostShowsMenuOnLeftClick() const override { return m_bMenuOnLeftClick; }

    void SetIconImage(ETrayIcon icon) override { m_icon = icon; }
    void SetIconTip(std::u16string_view strTip) override { m_strTip = strTip; }
    bool AddIcon() override {
        ++m_nAdds;
        m_bShown = m_bTrayExists;
        return m_bShown;
    }
    void DeleteIcon() override { m_bShown = false; }
    bool IsIconShown() override { return m_bShown; }
    bool ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) override {
        m_balloons.push_back({std::u16string(strTitle), std::u16string(strText), nTimeoutMs});
        return m_bShown;
    }

    void SetTimer(int nId, int nPeriodMs) override { m_timers[nId] = nPeriodMs; }
    void KillTimer(int nId) override { m_timers.erase(nId); }
    int Timer(int nId) const { return m_timers.count(nId) ? m_timers.at(nId) : 0; }

    void ShowMenu(ETrayMenu menu) override { m_menus.push_back(menu); }

    void PostToSelf(ETrayPost post) override { m_posted.push_back(post); }
    // Delivers the posted messages, as the loop does once the current message is handled.
    void DeliverPosted() {
        while (!m_posted.empty()) {
            const ETrayPost post = m_posted.front();
            m_posted.pop_front();
            if (m_pEvents)
                m_pEvents->OnPosted(post);
        }
    }
    void EndMessageLoop() override { ++m_nLoopEnds; }

    ITrayWindows& Windows() override { return m_windows; }
    void OpenInBrowser(std::u16string_view strAddress) override { m_addresses.emplace_back(strAddress); }

    struct CBalloonShown {
        std::u16string strTitle, strText;
        int nTimeoutMs;
    };
    ITrayEvents* m_pEvents = nullptr;
    bool m_bWatching = false;
    bool m_bMenuOnLeftClick = false;
    bool m_bTrayExists = true; // AddIcon succeeds
    ETrayIcon m_icon = ETrayIcon::None;
    std::u16string m_strTip;
    bool m_bShown = false;
    int m_nAdds = 0;
    std::vector<CBalloonShown> m_balloons;
    std::map<int, int> m_timers;
    std::vector<ETrayMenu> m_menus;
    std::deque<ETrayPost> m_posted;
    int m_nLoopEnds = 0;
    CFakeTrayWindows m_windows;
    std::vector<std::u16string> m_addresses;
};
