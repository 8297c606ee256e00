// Opening the windows for the tray controller's commands, which check the login state first. Each window
// exists at most once: a second request for an open window brings it to the front.
#pragma once

#include "platform/ITrayShell.h"

class CKIVODialerApp;

// The windows of ui/ for the open-once rules of tray/WindowRules.h: the dial dialog and the call history
// window live in the application object, the modal dialogs while they run.
class CQtTrayWindows : public ITrayWindows {
public:
    explicit CQtTrayWindows(CKIVODialerApp& app) : m_app(app) {}

    ETrayWindowState GetWindowState(ETrayWindow window) override;
    void CreateTrayWindow(ETrayWindow window) override;
    void DeleteTrayWindow(ETrayWindow window) override;
    void ShowAgain(ETrayWindow window) override;
    void BringToFront(ETrayWindow window) override;
    bool RunModal(ETrayWindow window) override;

private:
    CKIVODialerApp& m_app;
};

// Command 32772. A visible dial dialog comes to the front; a closed one is
// deleted and a new one, with the clipboard and the history read afresh, is shown.
void OpenDialDlg(CKIVODialerApp& app);

// Command 32776. A visible call history window comes to the front; a
// closed one is moved back onto the screen and shown again, topmost, with its rows; else a new one.
void OpenCdrDlg(CKIVODialerApp& app);

// Deletes the dial dialog and the call history window (saving its rectangle), at the program's end or
// when the tray controller destroys them.
void DestroyCallingWindows(CKIVODialerApp& app);

// Command 32779's dialog: runs the settings dialog modally and returns whether it was closed with OK.
// While it runs, a further call brings it to the front and returns false at once.
bool RunConfigDlg(CKIVODialerApp& app);
// Whether the settings dialog is open.
bool IsConfigDlgOpen();
// Brings the open settings dialog to the front.
void ActivateConfigDlg();

// Command 57664: runs the about box modally, or brings the open one to the front.
void RunAboutDlg(CKIVODialerApp& app);
