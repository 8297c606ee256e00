// Shows one of the program's windows with sample data until it is closed, for pictures of them
// (screens.sh): kivo_win32_show_window about|dial|history|settings. Once the window is up it prints
// its outer rectangle on the screen as "left top right bottom".
#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "tests/support/FakePlatform.h"
#include "tray/WindowRules.h"

#include "platform/win32/ui/WinTrayWindows.h"

#include <cstdio>
#include <cstring>

namespace {

class CSampleMainWnd : public IMainWnd {
public:
    CSampleMainWnd() {
        m_records = {
            {u"0312345678", u"", u"2026/12/10 09:12:45", kCdrModePlaced},
            {u"0455556666", u"山田 太郎", u"2026/12/10 10:03:11", kCdrModeReceived},
            {u"201", u"受付", u"2026/12/10 13:40:02", kCdrModeReceived},
            {u"09011112222", u"", u"2026/12/11 08:55:30", kCdrModePlaced},
        };
    }
    bool AddRecord(const std::u16string&, const std::u16string&, uint16_t) override { return false; }
    const std::list<CdrRecord>& GetCdrList() const override { return m_records; }
    void AddHistoryListener(ICallHistoryListener&) override {}
    void RemoveHistoryListener(ICallHistoryListener&) override {}

private:
    std::list<CdrRecord> m_records;
};

// Prints the rectangle of the window that has come up, once.
void CALLBACK PrintWindowRect(HWND, UINT, UINT_PTR nTimer, DWORD) {
    HWND hWnd = GetForegroundWindow();
    if (!hWnd || !IsWindowVisible(hWnd))
        return;
    KillTimer(nullptr, nTimer);
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const char* pszWindow = argc > 1 ? argv[1] : "";
    CMemoryProfile profile;
    profile.WriteProfileString(u"DstNo", u"list1", u"0312345678");
    profile.WriteProfileString(u"DstNo", u"list2", u"0455556666");
    CFakePlatform fake;
    CSystemClock clock;
    CKIVODialerApp app(fake.Platform(profile, clock));
    app.m_strUser = u"201";
    app.m_strPass = u"secret";
    app.m_strPBX = u"kivo-pbx";
    app.m_nCbtime = 10;
    CSampleMainWnd mainWnd;
    app.m_pMainWnd = &mainWnd;

    CWinTrayWindows windows(app);
    SetTimer(nullptr, 0, 200, PrintWindowRect);
    if (std::strcmp(pszWindow, "about") == 0)
        return windows.RunModal(ETrayWindow::About) ? 0 : 1;
    if (std::strcmp(pszWindow, "settings") == 0)
        return windows.RunModal(ETrayWindow::Settings) ? 0 : 1;
    if (std::strcmp(pszWindow, "dial") == 0)
        OpenWindowOnce(windows, ETrayWindow::Dial);
    else if (std::strcmp(pszWindow, "history") == 0)
        OpenWindowOnce(windows, ETrayWindow::CallHistory);
    else
        return 2;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!windows.PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyCallingWindows(app);
    return 0;
}
