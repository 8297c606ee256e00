// A real application object for the window tests: WinINet talking to a canned exchange on loopback, a
// profile in memory, message boxes answered from a list and recorded (tests/support/FakePlatform.h),
// and the call history as the tray controller keeps it. Helpers run the message loop as the program
// does, with the windows' own message filter, and type on the keyboard.
#pragma once

#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "app/TextUtil.h"
#include "tests/support/FakePlatform.h"
#include "tests/win32/support/WinLoopback.h"

#include "platform/win32/WinAnsiCodePage.h"
#include "platform/win32/WinInetHttpTransport.h"
#include "platform/win32/ui/WinApi.h"
#include "platform/win32/ui/WinText.h"
#include "platform/win32/ui/WinTrayWindows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

inline std::string Reply200(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// The call history as the tray controller keeps it, oldest first; listeners are told of each record.
class CTestMainWnd : public IMainWnd {
public:
    bool AddRecord(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode) override {
        if (strNumber.empty())
            return false;
        m_records.push_back({strNumber, strName, u"2024/01/31 09:05:07", nMode});
        for (ICallHistoryListener* pListener : m_listeners)
            pListener->OnCallHistoryChanged(m_records);
        return true;
    }
    const std::list<CdrRecord>& GetCdrList() const override { return m_records; }
    void AddHistoryListener(ICallHistoryListener& listener) override { m_listeners.push_back(&listener); }
    void RemoveHistoryListener(ICallHistoryListener& listener) override {
        std::erase(m_listeners, &listener);
    }
    std::list<CdrRecord> m_records;
    std::vector<ICallHistoryListener*> m_listeners;
};

// Runs the thread's messages as the program's loop does, the windows' filter first, until the
// condition holds or the time is up; returns the condition.
inline bool PumpUntil(CWinTrayWindows& windows, const std::function<bool()>& condition,
                      int nTimeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (true) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!windows.PreTranslateMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Runs the messages that are there now and those they cause within a moment.
inline void Pump(CWinTrayWindows& windows, int nMs = 100) {
    PumpUntil(
        windows, [] { return false; }, nMs);
}

// Key presses as the keyboard makes them: each key of the chord down in order, then up in reverse.
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        inputs.push_back(in);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The clipboard's CF_UNICODETEXT, or nothing.
inline std::u16string ClipboardUnicodeText() {
    std::u16string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE hData = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* psz = static_cast<const wchar_t*>(GlobalLock(hData))) {
            text = FromWide(psz);
            GlobalUnlock(hData);
        }
    }
    CloseClipboard();
    return text;
}

// Puts bytes on the clipboard as CF_TEXT (ANSI code page); empty bytes empty the clipboard.
inline void SetClipboardAnsiText(const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!bytes.empty()) {
        HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
        char* p = static_cast<char*>(GlobalLock(hMem));
        std::copy(bytes.begin(), bytes.end(), p);
        p[bytes.size()] = '\0';
        GlobalUnlock(hMem);
        SetClipboardData(CF_TEXT, hMem);
    }
    CloseClipboard();
}

inline void SetClipboardUnicodeText(std::u16string_view text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t cb = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
    std::copy(text.begin(), text.end(), static_cast<wchar_t*>(GlobalLock(hMem)));
    GlobalUnlock(hMem);
    SetClipboardData(CF_UNICODETEXT, hMem);
    CloseClipboard();
}

// The visible dialog window with this caption on the thread's desktop, or null.
inline HWND FindDialog(std::u16string_view strCaption) {
    HWND hWnd = FindWindowW(MAKEINTATOM(32770), ToWide(strCaption).c_str());
    return hWnd && IsWindowVisible(hWnd) ? hWnd : nullptr;
}

// Runs the steps one after another inside a modal loop (a modal dialog's or a message box's), each on
// a later tick of a thread timer, started by Run(). A step that returns false is tried again on the
// next tick, up to 3 s; then the remaining steps are skipped, the dialogs cancelled and the test fails.
class CModalScript {
public:
    using Step = std::function<bool()>;
    explicit CModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {}

    template <class F> auto Run(F run) {
        s_pCurrent = this;
        m_nTimer = SetTimer(nullptr, 0, 20, Tick);
        auto result = run();
        KillTimer(nullptr, m_nTimer);
        s_pCurrent = nullptr;
        EXPECT_EQ(m_nNext, m_steps.size()) << "steps not run: the modal loop ended early or a step timed out";
        return result;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        CModalScript* p = s_pCurrent;
        if (!p || p->m_bInStep || p->m_nNext >= p->m_steps.size())
            return;
        p->m_bInStep = true; // a step may run a modal loop of its own, in which this timer fires again
        if (p->m_steps[p->m_nNext]()) {
            ++p->m_nNext;
            p->m_nTries = 0;
        } else if (++p->m_nTries > 150) {
            ADD_FAILURE() << "step " << p->m_nNext << " timed out";
            p->m_nNext = p->m_steps.size();
            CancelDialogs(); // so that the modal loop ends and the test with it
        }
        p->m_bInStep = false;
    }

    // Cancels every dialog of this thread that is shown.
    static void CancelDialogs() {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hWnd, LPARAM) -> BOOL {
                wchar_t szClass[16] = {};
                GetClassNameW(hWnd, szClass, 16);
                if (IsWindowVisible(hWnd) && std::wstring_view(szClass) == L"#32770")
                    PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            },
            0);
    }

    inline static CModalScript* s_pCurrent = nullptr;
    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    int m_nTries = 0;
    bool m_bInStep = false;
    UINT_PTR m_nTimer = 0;
};

class WinUiTest : public ::testing::Test {
protected:
    WinUiTest()
        : m_app(CPlatform{m_profile, m_http, m_fake, m_fake, m_fake, m_fake, m_codePage, m_clock}),
          m_windows(m_app) {
        UseReply("Call_OK");
        m_app.m_strUser = u"201";
        m_app.m_strPass = u"secret";
        m_app.m_nCbtime = 15;
        m_app.m_bLogin = true;
        m_app.m_pMainWnd = &m_mainWnd;
        // Nothing of an earlier test on the clipboard, which the dial dialog reads when it opens.
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    ~WinUiTest() override { DestroyCallingWindows(m_app); }

    // An exchange on loopback that answers every request with this body.
    void UseReply(const std::string& body) {
        m_pServer = std::make_unique<CCannedHttpServer>(Reply200(body));
        m_app.m_strPBX = u"127.0.0.1:" + ToU16Decimal(m_pServer->Port());
    }
    // The dialno of the last request the exchange received; empty when none came.
    std::string LastDialNo() const {
        const std::string head = m_pServer->LastRequest();
        const size_t nBegin = head.find("&dialno=");
        const size_t nEnd = head.find("&cbtime=");
        if (nBegin == std::string::npos || nEnd == std::string::npos)
            return {};
        return head.substr(nBegin + 8, nEnd - nBegin - 8);
    }

    CMemoryProfile m_profile;
    CWinInetHttpTransport m_http;
    CFakePlatform m_fake;
    CWinAnsiCodePage m_codePage;
    CSystemClock m_clock;
    CTestMainWnd m_mainWnd;
    std::unique_ptr<CCannedHttpServer> m_pServer;
    CKIVODialerApp m_app;
    CWinTrayWindows m_windows;
};

} // namespace wintest
