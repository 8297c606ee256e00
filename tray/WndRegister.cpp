// Registration with the exchange, and the settings command that holds and restarts it.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "notify/ChannelPorts.h"
#include "pbxweb/RequestForms.h"
#include "resources/ResourceIds.h"
#include "tray/RegisterDecision.h"

bool CKIVODialerWnd::Register() {
    const std::u16string strUser = m_app.m_strUser;
    const std::u16string strPBX = m_app.m_strPBX;
    const std::u16string strPass = m_app.m_strPass;
    if (!HasRegisterSettings(strUser, strPass, strPBX))
        return false;

    std::u16string strMessage;
    const bool bOk =
        m_app.SendPbxRequest(strPBX, FormatRegistRequest(strUser, strPass, m_app.m_nPortNum, 0), strMessage);
    const CRegisterDecision d =
        DecideRegister(bOk, m_nRetry, m_app.m_platform.clock.Now(), m_app.m_strProductName);

    m_app.m_bLogin = d.bLogin;
    m_nRetry = d.nRetry;
    UpdateTrayIcon(NIM_MODIFY, d.bIconLogin ? ETrayIcon::Login : ETrayIcon::Logout, &d.strTip);
    KillTimer(kTimerRegister);
    if (d.bGiveUp)
        // The timer is off before the box runs its own loop, so no registration starts from inside it.
        m_app.AppMessageBox(kRegisterGiveUpMessage, MB_ICONINFORMATION | MB_SYSTEMMODAL);
    else
        SetTimer(kTimerRegister, d.nNextPeriodMs);
    return bOk;
}

void CKIVODialerWnd::ScheduleRegister(int nPeriodMs) {
    KillTimer(kTimerRegister);
    SetTimer(kTimerRegister, nPeriodMs);
}

void CKIVODialerWnd::OnSettings() {
    m_bHoldRegister = true;
    if (m_bConfigOpen) {
        // The open dialog still holds registration.
        ActivateConfigDialog();
        return;
    }
    m_bConfigOpen = true;
    const int nOldPortNum = m_app.m_nPortNum;
    const bool bOk = RunConfigDialog();
    m_bConfigOpen = false;
    m_bHoldRegister = false;
    if (bOk) {
        // A changed receive port takes effect on a new channel; the new settings register 1 s later.
        // The stop stores the channel's ports; those that followed the old "PortNum" move with it.
        StopTerminal();
        MoveChannelPorts(m_app.m_platform.profile, nOldPortNum, m_app.m_nPortNum);
        StartTerminal();
        ScheduleRegister(kRegisterAfterSettingsMs);
    }
}
