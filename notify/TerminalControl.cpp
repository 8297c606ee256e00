#include "notify/TerminalControl.h"

#include "notify/MsgQueue.h"

bool CTerminalControl::StartTerminal(CMsgQueue& queue, int nPortNum, IProfile& profile) {
    if (m_pTerm)
        return true;
    m_pQueue = &queue;
    m_pTerm = std::make_unique<CTermUdp>(&queue, nPortNum, profile);
    m_pTerm->LoadSettings();
    if (!m_pTerm->CreateWorker() || !m_pTerm->Initialize() || !m_pTerm->Open()) {
        StopTerminal();
        return false;
    }
    m_bStopping = false;
    return true;
}

bool CTerminalControl::StopTerminal(bool bClearQueue) {
    if (!m_pTerm)
        return false;
    m_bStopping = true;
    m_pTerm->SaveSettings();
    m_pTerm->Close();
    m_pTerm->Join();
    m_pTerm.reset();
    if (m_pQueue != nullptr && bClearQueue)
        m_pQueue->ClearMsg();
    return true;
}
