// The commands that open windows: the dial dialog, the call history window, the settings dialog and the
// about box. The login checks and the open-once rules are the tray controller's; the desktop makes the
// windows.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "tray/WindowRules.h"

void CKIVODialerWnd::OnDial() {
    if (!m_app.m_bLogin)
        return;
    OpenWindowOnce(m_shell.Windows(), ETrayWindow::Dial);
}

void CKIVODialerWnd::OnCallHistory() {
    if (!m_app.m_bLogin)
        return;
    OpenWindowOnce(m_shell.Windows(), ETrayWindow::CallHistory);
}

void CKIVODialerWnd::OnAbout() {
    RunModalOnce(m_shell.Windows(), ETrayWindow::About);
}

bool CKIVODialerWnd::RunConfigDialog() {
    return RunModalOnce(m_shell.Windows(), ETrayWindow::Settings);
}

void CKIVODialerWnd::ActivateConfigDialog() {
    m_shell.Windows().BringToFront(ETrayWindow::Settings);
}
