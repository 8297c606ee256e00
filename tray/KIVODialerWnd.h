// The tray controller: the program's hidden main object. It owns the tray icon and its two menus, the
// timers 4 (click), 5 (registration) and 6 (drain), the notification queue and terminal, and the call
// history store. The handlers keep the names of the window messages they stand for; the portable
// decisions (registration outcome, notification grammar, history store, page addresses) live in
// kivocore and are only applied here.
#pragma once

#include "app/IMainWnd.h"
#include "notify/MsgQueue.h"
#include "notify/TerminalControl.h"
#include "platform/qt/TrayIcon.h"
#include "tray/CallHistoryStore.h"
#include "tray/NotificationText.h"
#include "tray/TrayClick.h"

#include <QBasicTimer>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <string_view>

class CKIVODialerApp;
class CMsgData;
class CTrayHostWatcher;
class QMenu;

// Operations on the tray icon.
enum ETrayOp { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
// The icons handed to the tray: none, 128 (colour, logged in) or 135 (grey, not logged in).
enum class ETrayIcon { None, Login, Logout };

inline constexpr int kClickPeriodMs = 200;
inline constexpr int kDrainPeriodMs = 1000;
inline constexpr int kTrayRetryMs = 2000; // while no tray exists
inline constexpr size_t kTrayTipMax = 127;

class CKIVODialerWnd : public QObject, public IMainWnd {
    Q_OBJECT
public:
    explicit CKIVODialerWnd(CKIVODialerApp& app);
    ~CKIVODialerWnd() override;

    CKIVODialerWnd(const CKIVODialerWnd&) = delete;
    CKIVODialerWnd& operator=(const CKIVODialerWnd&) = delete;

    // Creates the tray icon, loads the history, arms the first registration and starts the
    // notification channel (OnCreate). False when creation failed.
    bool CreateMainWindow();
    // Stops the channel, saves the history, removes the icon, then ends the event loop. Runs once; the
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
    bool OnQueryEndSession();

    // --- Timers: one per id; setting an id again replaces its period (KIVODialerWnd.cpp)
    void SetTimer(int nId, int nPeriodMs);
    void KillTimer(int nId);
    // The period the timer was last set to, or 0 while it is not set.
    int GetTimerPeriod(int nId) const;
    void OnTimer(int nId);

    // --- Tray icon and menus (WndTrayIcon.cpp)
    // Adds, changes or removes the icon; hIcon None and a null tip leave those alone. While no tray
    // exists the icon is shown as soon as one appears (retried every 2000 ms). Always publishes
    // m_bLogin to the shared login flag.
    bool UpdateTrayIcon(ETrayOp op, ETrayIcon hIcon, const std::u16string* pTip);
    // The tray callback: wParam is the icon id, lParam the mouse message the tray saw.
    void OnTrayNotify(unsigned wParam, unsigned lParam);
    void OnLButtonUp();
    void OnLButtonDblClk();
    void OnRButtonUp();
    void DoDoubleClickAction();
    void ShowLeftClickMenu();
    void ShowRightClickMenu();
    // A tray host appeared or came back: the icon is added again with the image of the login state.
    void OnTaskbarCreated();
    // The mouse on the icon as the tray host reported it, turned into the tray callback's messages.
    void OnTrayHostEvent(ETrayHostEvent event);
    void OnCommand(int nId);

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

    CTrayIcon* TrayIcon() const { return m_pTray.get(); }
    // The tooltip last handed to the tray.
    const QString& TrayTip() const { return m_strTipShown; }
    // The icon is our own StatusNotifierItem (rather than Qt's icon in an XEmbed tray).
    bool IsStatusNotifierTray() const { return m_bStatusNotifierTray; }
    QMenu* LeftClickMenu() const { return m_pMenuLeft.get(); }
    QMenu* RightClickMenu() const { return m_pMenuRight.get(); }
    bool IsTrayRetryPending() const { return m_trayRetry.isActive(); }

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

signals:
    // After DestroyWindow has removed the icon.
    void Destroyed();

protected:
    // Runs the settings dialog modally; true when it was closed with OK. The windows supply it.
    virtual bool RunConfigDialog();
    // Brings the open settings dialog to the front.
    virtual void ActivateConfigDialog();
    void timerEvent(QTimerEvent* pEvent) override;

private:
    int OnCreate();
    void OnDestroy();
    void CreateMenus();
    void PostMessage(void (CKIVODialerWnd::*pHandler)());
    // Makes the icon of the kind the desktop's tray takes, when it is not that kind yet.
    void UseTrayOfDesktop();
    void ShowIconWhenTrayExists();
    void PopupMenu(QMenu& menu);

    CCallHistoryStore m_history;
    std::unique_ptr<CTrayIcon> m_pTray;
    QString m_strTipShown;
    std::unique_ptr<QMenu> m_pMenuLeft;
    std::unique_ptr<QMenu> m_pMenuRight;
    std::unique_ptr<CTrayHostWatcher> m_pTrayHost;
    std::array<QBasicTimer, 3> m_timers; // ids 4, 5, 6
    std::array<int, 3> m_nPeriods{};
    QBasicTimer m_trayRetry;
    bool m_bCreated = false;
    bool m_bDestroyed = false;
    bool m_bStatusNotifierTray = false; // the balloon goes to the desktop's notification server
    bool m_bMenuOnLeftClick = false;    // the host draws the exported menu on a left click (GNOME)
};
