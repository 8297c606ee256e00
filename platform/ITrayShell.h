// What the tray controller needs of a desktop: the icon with its image, tooltip and balloon, timers by
// id, the two menus, the windows its commands open, the browser, and posting a message to itself. The
// controller (tray/KIVODialerWnd) makes every decision; a desktop layer (Qt on Linux, Win32 on Windows)
// only carries them out and reports back what happened on the desktop through ITrayEvents. Message boxes
// go through IMessageBox, as for every other part of the program.
#pragma once

#include "platform/TrayHostEvent.h"

#include <string_view>

// The icons handed to the tray: none, 128 (colour, logged in) or 135 (grey, not logged in).
enum class ETrayIcon { None, Login, Logout };
// Menus 129 (left click) and 130 (right click).
enum class ETrayMenu { LeftClick, RightClick };
// What the controller posts to itself, to be handled once the current message is done: the tray
// callback's mouse messages, and the close after the exit question.
enum class ETrayPost { LButtonUp, LButtonDblClk, RButtonUp, Close };

// The windows the commands open.
enum class ETrayWindow { Dial, CallHistory, Settings, About };
enum class ETrayWindowState {
    None,   // no such window exists
    Closed, // it exists, hidden (a modeless window the user closed)
    Open,   // shown, or still at work (the dial dialog while its call's message box is open)
};

// The windows as a desktop makes them; the rules for opening each one once are the controller's
// (tray/WindowRules.h).
class ITrayWindows {
public:
    virtual ~ITrayWindows() = default;
    virtual ETrayWindowState GetWindowState(ETrayWindow window) = 0;
    // A modeless window made and shown.
    virtual void CreateTrayWindow(ETrayWindow window) = 0;
    // A closed modeless window deleted.
    virtual void DeleteTrayWindow(ETrayWindow window) = 0;
    // A closed modeless window shown again: the call history window moved back onto the screen and on
    // top of the others.
    virtual void ShowAgain(ETrayWindow window) = 0;
    // Restored when minimised, raised and activated.
    virtual void BringToFront(ETrayWindow window) = 0;
    // A modal window run to its end; true when it was closed with OK.
    virtual bool RunModal(ETrayWindow window) = 0;
};

// What the desktop reports to the tray controller.
class ITrayEvents {
public:
    virtual ~ITrayEvents() = default;
    virtual void OnTimer(int nId) = 0;
    // The mouse on the icon, as the tray host reported it.
    virtual void OnTrayHostEvent(ETrayHostEvent event) = 0;
    // The notification area's own callback message: wParam the icon id, lParam the mouse message.
    virtual void OnTrayNotify(unsigned wParam, unsigned lParam) = 0;
    // A command chosen in a menu, delivered after the menu has closed.
    virtual void OnCommand(int nId) = 0;
    virtual void OnPosted(ETrayPost post) = 0;
    // A tray host appeared or came back ("TaskbarCreated").
    virtual void OnTaskbarCreated() = 0;
    // The icon is gone from every tray host; it is to be shown again once one exists.
    virtual void OnTrayHostLost() = 0;
    // The logon session is about to end; true lets it end.
    virtual bool OnQueryEndSession() = 0;
};

class ITrayShell {
public:
    virtual ~ITrayShell() = default;

    // The controller the desktop reports to; null when it is gone.
    virtual void Attach(ITrayEvents* pEvents) = 0;
    // Watching for tray hosts that appear, come back or go, between the icon's creation and its removal.
    virtual void WatchTrayHosts(bool bWatch) = 0;
    // The desktop's tray host draws the icon's menu on a left click and reports only a double click.
    virtual bool HostShowsMenuOnLeftClick() const { return false; }

    // --- The icon (uID 100): image and tooltip are kept while the icon is not in a tray.
    virtual void SetIconImage(ETrayIcon icon) = 0;
    virtual void SetIconTip(std::u16string_view strTip) = 0;
    // Puts the icon into the tray; false while no tray takes it.
    virtual bool AddIcon() = 0;
    virtual void DeleteIcon() = 0;
    virtual bool IsIconShown() = 0;
    // The balloon from the icon with the information icon; false when no tray shows it.
    virtual bool ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) = 0;

    // --- Timers by id: setting an id again replaces its period. Expiries come back as OnTimer.
    virtual void SetTimer(int nId, int nPeriodMs) = 0;
    virtual void KillTimer(int nId) = 0;

    // --- The menus, where the mouse is; a choice comes back as OnCommand.
    virtual void ShowMenu(ETrayMenu menu) = 0;

    // --- The message loop
    // Delivered as OnPosted once the current message has been handled.
    virtual void PostToSelf(ETrayPost post) = 0;
    // The controller's window is destroyed: the loop ends.
    virtual void EndMessageLoop() = 0;

    // --- Windows and the browser
    virtual ITrayWindows& Windows() = 0;
    // The address is already encoded; the browser's result is not looked at.
    virtual void OpenInBrowser(std::u16string_view strAddress) = 0;
};
