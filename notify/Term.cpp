#include "notify/Term.h"

#include "notify/MsgQueue.h"

#include <system_error>

CTerm::CTerm(CMsgQueue* pQueue) : m_pQueue(pQueue) {}

CTerm::~CTerm() {
    StopWorker();
}

bool CTerm::CreateWorker() {
    if (m_thread.joinable())
        return false;
    try {
        m_thread = std::thread(&CTerm::ThreadMain, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CTerm::Close() {
    // The stop is requested before the gate opens, so a thread that never ran ends without a wait.
    RequestStop();
    if (!m_bRunning)
        Resume();
}

bool CTerm::Open() {
    if (!m_thread.joinable())
        return false;
    Resume();
    m_bRunning = true;
    return true;
}

void CTerm::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void CTerm::PostData(const void* pData, int32_t nLen) {
    if (m_pQueue != nullptr)
        m_pQueue->PutData(pData, nLen);
}

void CTerm::StopWorker() {
    RequestStop();
    Resume();
    Join();
}

void CTerm::ThreadMain() {
    {
        std::unique_lock<std::mutex> lock(m_gateMutex);
        m_gate.wait(lock, [this] { return m_bResumed; });
    }
    Run();
}

void CTerm::Resume() {
    {
        std::lock_guard<std::mutex> lock(m_gateMutex);
        m_bResumed = true;
    }
    m_gate.notify_one();
}
