// The notification channel as the tray controller drives it: the terminal plus the drain timer.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "resources/ResourceIds.h"

bool CKIVODialerWnd::StartTerminal() {
    const bool bHadTerminal = m_terminal.HasTerminal();
    if (!m_terminal.StartTerminal(m_queue, m_app.m_nPortNum, m_app.m_platform.profile))
        return false;
    if (!bHadTerminal)
        SetTimer(kTimerDrain, kDrainPeriodMs);
    return true;
}

void CKIVODialerWnd::StopTerminal(bool bKeepCalls) {
    if (m_terminal.HasTerminal())
        KillTimer(kTimerDrain);
    // The worker is joined first, so that nothing is queued behind the calls taken out.
    m_terminal.StopTerminal(!bKeepCalls);
    if (bKeepCalls)
        KeepQueuedCalls();
}
