// Incoming calls: the drain tick, the notification's keyword and fields, and the balloon.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "notify/MsgData.h"
#include "resources/ResourceIds.h"

#include <vector>

void CKIVODialerWnd::OnDrainTimer() {
    // Not logged in: the timer keeps running and the notifications wait in the queue.
    if (!m_app.m_bLogin)
        return;
    KillTimer(kTimerDrain);
    if (m_terminal.IsStopping())
        return;
    if (std::unique_ptr<CMsgData> pMsg = m_queue.GetMsg())
        DispatchNotification(*pMsg);
    if (!m_terminal.IsStopping())
        SetTimer(kTimerDrain, kDrainPeriodMs);
}

void CKIVODialerWnd::DispatchNotification(const CMsgData& rec) {
    const std::u16string strText = rec.Text();
    if (ReadNotifyKeyword(strText) == kKeywordRequest)
        HandleIncomingCall(strText);
}

void CKIVODialerWnd::HandleIncomingCall(const std::u16string& strText) {
    const std::optional<CIncomingCall> call = ParseIncomingCall(strText, m_app.m_strUser);
    if (!call)
        return;
    ShowBalloon(call->strBalloonText, call->strBalloonTitle);
    AddRecord(call->strNumber, call->strName, kCdrModeReceived);
}

void CKIVODialerWnd::KeepQueuedCalls() {
    // Calls that waited (a request held the loop, or the drain had not come round) are not lost at the
    // end: the program is going, so no balloon, but the history has them. The login state does not
    // count here: a request the end gave up has just cleared it, and a call for the user came all the same.
    std::vector<CIncomingCall> calls;
    while (std::unique_ptr<CMsgData> pMsg = m_queue.GetMsg()) {
        const std::u16string strText = pMsg->Text();
        if (ReadNotifyKeyword(strText) != kKeywordRequest)
            continue;
        if (std::optional<CIncomingCall> call = ParseIncomingCall(strText, m_app.m_strUser);
            call && !call->strNumber.empty())
            calls.push_back(std::move(*call));
    }
    m_queue.ClearMsg();
    // Each record is saved as it is added; only the newest the history can hold would stay.
    const size_t nFirst = calls.size() > kCdrMax ? calls.size() - kCdrMax : 0;
    for (size_t i = nFirst; i < calls.size(); ++i)
        AddRecord(calls[i].strNumber, calls[i].strName, kCdrModeReceived);
}

bool CKIVODialerWnd::ShowBalloon(std::u16string_view strText, std::u16string_view strTitle) {
    // A balloon still showing is replaced, as clearing the old one first does elsewhere. The icon and its
    // tooltip stay as they are.
    m_balloonShown = MakeBalloon(strText, strTitle);
    return m_shell.ShowBalloon(m_balloonShown.strTitle, m_balloonShown.strText, kBalloonTimeoutMs);
}
