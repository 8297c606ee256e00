// Incoming calls: the drain tick, the notification's keyword and fields, and the balloon.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "notify/MsgData.h"
#include "platform/qt/TrayIcon.h"
#include "resources/ResourceIds.h"

namespace {
QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}
} // namespace

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

bool CKIVODialerWnd::ShowBalloon(std::u16string_view strText, std::u16string_view strTitle) {
    // A balloon still showing is replaced, as clearing the old one first does elsewhere. The icon and its
    // tooltip stay as they are.
    m_balloonShown = MakeBalloon(strText, strTitle);
    if (!m_pTray)
        return false;
    return m_pTray->ShowMessage(ToQString(m_balloonShown.strTitle), ToQString(m_balloonShown.strText),
                                kBalloonTimeoutMs);
}
