// The call history store as the tray controller offers it.
#include "tray/KIVODialerWnd.h"

bool CKIVODialerWnd::AddRecord(const std::u16string& strNumber, const std::u16string& strName,
                               uint16_t nMode) {
    return m_history.AddRecord(strNumber, strName, nMode);
}

const std::list<CdrRecord>& CKIVODialerWnd::GetCdrList() const {
    return m_history.GetCdrList();
}

void CKIVODialerWnd::AddHistoryListener(ICallHistoryListener& listener) {
    m_history.AddListener(listener);
}

void CKIVODialerWnd::RemoveHistoryListener(ICallHistoryListener& listener) {
    m_history.RemoveListener(listener);
}

void CKIVODialerWnd::LoadHistory() {
    m_history.LoadHistory();
}

void CKIVODialerWnd::SaveHistory() {
    m_history.SaveHistory();
}

bool CKIVODialerWnd::OnQueryEndSession() {
    SaveHistory();
    return true;
}
