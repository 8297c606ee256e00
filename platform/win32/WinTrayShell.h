// The tray controller's desktop on Windows: a hidden tool window, "KIVODialerWnd", that receives the
// icon's callback message (WM_APP + 100), the window timers, the menus' commands, the session's end and
// the shell's "TaskbarCreated"; the icon (uID 100, with the program's GUID) through Shell_NotifyIconW; the
// two menus built from the same tables as on Linux and tracked with TrackPopupMenu; the browser through
// ShellExecuteW. The windows the commands open come from the ITrayWindows given.
#pragma once

#include "platform/ITrayShell.h"

#include <functional>
#include <memory>
#include <string>

struct HWND__;
struct tagMSG;

class CWinTrayShell : public ITrayShell {
public:
    // Asked before each message is dispatched; true when it was handled there (dialog keys and
    // accelerators of the modeless windows).
    using MessageFilter = std::function<bool(tagMSG&)>;

    explicit CWinTrayShell(ITrayWindows& windows, MessageFilter filter = {});
    ~CWinTrayShell() override;

    CWinTrayShell(const CWinTrayShell&) = delete;
    CWinTrayShell& operator=(const CWinTrayShell&) = delete;

    // Creates the hidden window and loads the icons; false when the system refuses the window.
    bool Create();
    // The thread's message loop, until the window has been destroyed; the WM_QUIT code.
    int RunMessageLoop();
    HWND__* Window() const { return m_hWnd; }

    void Attach(ITrayEvents* pEvents) override { m_pEvents = pEvents; }
    // The shell announces itself with "TaskbarCreated" whether watched or not.
    void WatchTrayHosts(bool) override {}

    void SetIconImage(ETrayIcon icon) override;
    void SetIconTip(std::u16string_view strTip) override;
    bool AddIcon() override;
    void DeleteIcon() override;
    bool IsIconShown() override { return m_bIconAdded; }
    bool ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) override;

    void SetTimer(int nId, int nPeriodMs) override;
    void KillTimer(int nId) override;

    void ShowMenu(ETrayMenu menu) override;

    void PostToSelf(ETrayPost post) override;
    void EndMessageLoop() override;

    ITrayWindows& Windows() override { return m_windows; }
    void OpenInBrowser(std::u16string_view strAddress) override;

    // The window procedure's work, for the window of this object.
    long long HandleMessage(HWND__* hWnd, unsigned nMsg, unsigned long long wParam, long long lParam);

private:
    struct CIconData;
    bool NotifyIcon(unsigned long nMessage, unsigned nFlags);

    ITrayWindows& m_windows;
    MessageFilter m_filter;
    ITrayEvents* m_pEvents = nullptr;
    HWND__* m_hWnd = nullptr;
    unsigned m_nTaskbarCreated = 0;
    std::unique_ptr<CIconData> m_pIcon;
    bool m_bIconAdded = false;
};
