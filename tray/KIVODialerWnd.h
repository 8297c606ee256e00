// The tray controller: the program's hidden main window. It keeps the tray icon's state and the two menus'
// commands, the timers 4 (click), 5 (registration) and 6 (drain), the notification queue and terminal,
// and the call history store, and makes every decision about them. What it needs of the desktop (the icon,
// timers, menus, windows, the browser, posting to itself) it reaches through ITrayShell, implemented once
// per desktop layer; the desktop reports back through ITrayEvents. The handlers keep the names of the
// window messages they stand for.
#pragma once

#include "app/IMainWnd.h"
#include "notify/MsgQueue.h"
#include "notify/TerminalControl.h"
#include "platform/ITrayShell.h"
#include "tray/CallHistoryStore.h"
#include "tray/NotificationText.h"
#include "tray/TrayClick.h"

#include <array>
#include <string>
#include <string_view>

class CKIVODialerApp;
class CMsgData;

// Operations on the tray icon.
enum ETrayOp { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };

inline constexpr int kClickPeriodMs = 200;
inline constexpr int kDrainPeriodMs = 1000;
inline constexpr int kTrayRetryMs = 2000; // while no tray exists
inline constexpr size_t kTrayTipMax = 127;
// The timer that shows the icon once a tray exists: an id of our own, beside the window's 4, 5 and 6.
inline constexpr int kTimerTrayRetry = 7;

class CKIVODialerWnd : public IMainWnd, public ITrayEvents {
public:
    CKIVODialerWnd(CKIVODialerApp& app, ITrayShell& shell);
    ~CKIVODialerWnd() override;

    CKIVODialerWnd(const CKIVODialerWnd&) = delete;
    CKIVODialerWnd& operator=(const CKIVODialerWnd&) = delete;

    // Creates the tray icon, loads the history, arms the first registration and starts the
    // notification channel (OnCreate). False when creation failed.
    bool CreateMainWindow();
    // Stops the channel, saves the history, removes the icon, then ends the message loop. Runs once; the
    // exit command's Yes, the end signals and the destructor come here.
    void DestroyWindow();

    // --- Call history store (WndHistory.cpp)
    bool AddRecord(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode) override;
    const std::list<CdrRecord>& GetCdrList() const override;
    void AddHistoryListener(ICallHistoryListener& listener) override;
    void RemoveHistoryListener(ICallHistoryListener& listener) override;
    void LoadHistory();
    void SaveHistory();
    // The session manager asks to save before the logon session ends; the program goes on running.
    bool OnQueryEndSession() override;
    // Every power event is acknowledged, and nothing else is done.
    bool OnPowerBroadcast(unsigned nEvent);

    // --- Timers: one per id; setting an id again replaces its period (KIVODialerWnd.cpp)
    void SetTimer(int nId, int nPeriodMs);
    void KillTimer(int nId);
    // The period the timer was last set to, or 0 while it is not set.
    int GetTimerPeriod(int nId) const;
    void OnTimer(int nId) override;

    // --- Tray icon and menus (WndTrayIcon.cpp)
    // Adds, changes or removes the icon; hIcon None and a null tip leave those alone. While no tray
    // exists the icon is shown as soon as one appears (retried every 2000 ms). Always publishes
    // m_bLogin to the shared login flag.
    bool UpdateTrayIcon(ETrayOp op, ETrayIcon hIcon, const std::u16string* pTip);
    // The tray callback: wParam is the icon id, lParam the mouse message the tray saw.
    void OnTrayNotify(unsigned wParam, unsigned lParam) override;
    void OnLButtonUp();
    void OnLButtonDblClk();
    void OnRButtonUp();
    void DoDoubleClickAction();
    void ShowLeftClickMenu();
    void ShowRightClickMenu();
    // A tray host appeared or came back: the icon is added again with the image of the login state.
    void OnTaskbarCreated() override;
    // The icon is gone from every tray host: it waits for a tray as at the start.
    void OnTrayHostLost() override;
    // The mouse on the icon as the tray host reported it, turned into the tray callback's messages.
    void OnTrayHostEvent(ETrayHostEvent event) override;
    void OnCommand(int nId) override;
    void OnPosted(ETrayPost post) override;

    // --- Registration (WndRegister.cpp)
    bool Register();
    void ScheduleRegister(int nPeriodMs);

    // --- Notifications (WndNotify.cpp)
    void OnDrainTimer();
    void DispatchNotification(const CMsgData& rec);
    void HandleIncomingCall(const std::u16string& strText);
    // The incoming calls for the user among the queued notifications, into the history without a
    // balloon; the queue is empty afterwards.
    void KeepQueuedCalls();
    // Shows the balloon from the icon for 10 s with the information icon; false when no tray shows it.
    bool ShowBalloon(std::u16string_view strText, std::u16string_view strTitle);

    // --- Notification channel (WndTerminal.cpp)
    bool StartTerminal();
    // With bKeepCalls (at the end of the program) the incoming calls still waiting in the queue go into
    // the call history, without a balloon, before the queue is cleared.
    void StopTerminal(bool bKeepCalls = false);

    // --- Commands
    virtual void OnDial();        // 32772 (WndWindows.cpp)
    virtual void OnCallHistory(); // 32776 (WndWindows.cpp)
    virtual void OnSettings();    // 32779 (WndRegister.cpp): hold, dialog, restart, register in 1 s
    virtual void OnAbout();       // 57664 (WndWindows.cpp)
    void OnExit();                // 57665: asks, then DestroyWindow
    void OnPbxPage(int nCommand); // 32781, 32788, 32801 (WndPbxPages.cpp)

    // The tooltip last handed to the tray.
    const std::u16string& TrayTip() const { return m_strTipShown; }
    bool IsTrayRetryPending() const { return GetTimerPeriod(kTimerTrayRetry) != 0; }

    // Fields of the tray controller.
    CKIVODialerApp& m_app;
    ETrayIcon m_hIconShown = ETrayIcon::None; // the icon last handed to the tray
    bool m_bDblClick = false;                 // a double click came; the click timer shows no menu
    unsigned m_nRetry = 0;                    // failed registrations in a row
    bool m_bHoldRegister = false;             // the settings dialog is open
    CMsgQueue m_queue;
    CTerminalControl m_terminal; // the terminal and the stopping flag that keeps the drain timer off
    CBalloon m_balloonShown;     // the balloon last handed to the tray
    bool m_bConfigOpen = false;

protected:
    // Runs the settings dialog modally; true when it was closed with OK.
    virtual bool RunConfigDialog();
    // Brings the open settings dialog to the front.
    virtual void ActivateConfigDialog();

private:
    int OnCreate();
    void OnDestroy();
    void ShowIconWhenTrayExists();

    ITrayShell& m_shell;
    CCallHistoryStore m_history;
    std::u16string m_strTipShown;
    std::array<int, 4> m_nPeriods{}; // ids 4, 5, 6 and the tray retry
    bool m_bCreated = false;
    bool m_bDestroyed = false;
};
