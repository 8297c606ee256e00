// The windows the tray commands open, as Win32 dialogs for the open-once rules of tray/WindowRules.h:
// the dial dialog and the call history window live in the application object (modeless, no parent),
// the settings dialog and the about box while they run (modal, no parent).
#pragma once

#include "platform/ITrayShell.h"

#include "platform/win32/ui/WinApi.h"

class CKIVODialerApp;
class CConfigDlg;
class CAboutDlg;

class CWinTrayWindows : public ITrayWindows {
public:
    // Registers the common control classes the templates use (the list view).
    explicit CWinTrayWindows(CKIVODialerApp& app);
    ~CWinTrayWindows() override;

    CWinTrayWindows(const CWinTrayWindows&) = delete;
    CWinTrayWindows& operator=(const CWinTrayWindows&) = delete;

    ETrayWindowState GetWindowState(ETrayWindow window) override;
    void CreateTrayWindow(ETrayWindow window) override;
    void DeleteTrayWindow(ETrayWindow window) override;
    void ShowAgain(ETrayWindow window) override;
    void BringToFront(ETrayWindow window) override;
    bool RunModal(ETrayWindow window) override;

    // For the message loop, before TranslateMessage: true when the message was consumed by the call
    // history window's accelerators or by a modeless window's dialog keys (Tab, Enter, Esc).
    // Messages that reach the loops of the modal dialogs and message boxes are filtered here as well.
    bool PreTranslateMessage(MSG& msg);

private:
    static LRESULT CALLBACK MessageFilterProc(int nCode, WPARAM wParam, LPARAM lParam);

    CKIVODialerApp& m_app;
    CConfigDlg* m_pConfigDlg = nullptr; // while it runs
    CAboutDlg* m_pAboutDlg = nullptr;
    HHOOK m_hMsgFilter = nullptr;
};

// Deletes the dial dialog and the call history window (saving its rectangle), at the program's end.
void DestroyCallingWindows(CKIVODialerApp& app);
