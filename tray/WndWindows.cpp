// The commands that open windows: the dial dialog, the call history window, the settings dialog and the
// about box. The login checks are the tray controller's; the windows themselves belong to ui/.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "ui/WindowOpeners.h"

void CKIVODialerWnd::OnDial() {
    if (!m_app.m_bLogin)
        return;
    OpenDialDlg(m_app);
}

void CKIVODialerWnd::OnCallHistory() {
    if (!m_app.m_bLogin)
        return;
    OpenCdrDlg(m_app);
}

void CKIVODialerWnd::OnAbout() {
    RunAboutDlg(m_app);
}

bool CKIVODialerWnd::RunConfigDialog() {
    return RunConfigDlg(m_app);
}

void CKIVODialerWnd::ActivateConfigDialog() {
    ActivateConfigDlg();
}
