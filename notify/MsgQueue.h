// The locked first-in-first-out list between the terminal's worker thread and the tray controller.
#pragma once

#include "notify/MsgData.h"
#include "notify/NodeBlocks.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>

// The queue accepts a record while it holds no more than this many, so at most 451 wait.
inline constexpr int g_nMsgQueueLimit = 450;
// Texts of this many bytes or more are never stored.
inline constexpr int32_t g_nMsgDataMaxBytes = 4096;

class CMsgQueue {
public:
    CMsgQueue() = default;
    ~CMsgQueue();

    CMsgQueue(const CMsgQueue&) = delete;
    CMsgQueue& operator=(const CMsgQueue&) = delete;

    // Worker thread: copies the bytes into a new record (outside the lock) and hands it to PutMsg.
    void PutData(const void* pData, int32_t nLen);
    // Worker thread: appends the record, or deletes it when the queue is full. Never blocks on a full queue.
    void PutMsg(std::unique_ptr<CMsgData> pMsg);
    // Interface thread: the oldest record, or null when the queue is empty.
    std::unique_ptr<CMsgData> GetMsg();
    void ClearMsg();
    // Number of records waiting (for tests and diagnostics).
    size_t GetCount();
    // Blocks of list nodes held (for tests and diagnostics).
    size_t GetNodeBlockCount();

private:
    using CRecordList = std::list<std::unique_ptr<CMsgData>, CNodeAllocator<std::unique_ptr<CMsgData>>>;

    std::mutex m_cs;
    // The list's nodes, guarded by m_cs like the list; declared first so that it outlives the list.
    CNodeBlocks m_nodes;
    CRecordList m_list{CNodeAllocator<std::unique_ptr<CMsgData>>(m_nodes)};
};
