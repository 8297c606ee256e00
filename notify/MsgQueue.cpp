#include "notify/MsgQueue.h"

#include <thread>
#include <vector>

CMsgQueue::~CMsgQueue() {
    ClearMsg();
}

void CMsgQueue::PutData(const void* pData, int32_t nLen) {
    // A negative count or a count without bytes would make a record that reads outside its source.
    if (nLen >= g_nMsgDataMaxBytes || nLen < 0 || (pData == nullptr && nLen != 0))
        return;
    PutMsg(std::make_unique<CMsgData>(pData, nLen));
}

void CMsgQueue::PutMsg(std::unique_ptr<CMsgData> pMsg) {
    if (!pMsg)
        return;
    std::lock_guard<std::mutex> lock(m_cs);
    if (m_list.size() > static_cast<size_t>(g_nMsgQueueLimit)) {
        // Full: drop the newest rather than block the worker, and give the draining thread a turn.
        pMsg.reset();
        std::this_thread::yield();
        return;
    }
    m_list.push_back(std::move(pMsg));
}

std::unique_ptr<CMsgData> CMsgQueue::GetMsg() {
    std::lock_guard<std::mutex> lock(m_cs);
    if (m_list.empty())
        return nullptr;
    std::unique_ptr<CMsgData> pMsg = std::move(m_list.front());
    m_list.pop_front();
    return pMsg;
}

void CMsgQueue::ClearMsg() {
    std::vector<std::unique_ptr<CMsgData>> old;
    {
        std::lock_guard<std::mutex> lock(m_cs);
        // The nodes go back to their blocks under the lock, which guards them as it guards the list.
        old.reserve(m_list.size());
        for (std::unique_ptr<CMsgData>& pMsg : m_list)
            old.push_back(std::move(pMsg));
        m_list.clear();
    }
    // The records are freed here, after the lock is released.
}

size_t CMsgQueue::GetNodeBlockCount() {
    std::lock_guard<std::mutex> lock(m_cs);
    return m_nodes.BlockCount();
}

size_t CMsgQueue::GetCount() {
    std::lock_guard<std::mutex> lock(m_cs);
    return m_list.size();
}
