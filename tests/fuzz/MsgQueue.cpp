// The queue's records over arbitrary bytes: odd counts, embedded zeros, the size limit. The input is
// split into records at every 0xFF byte; each comes out in order and reads as its zero-terminated text.
#include "FuzzInput.h"

#include "notify/MsgQueue.h"

#include <algorithm>
#include <deque>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMsgQueue queue;
    std::deque<std::u16string> expected;
    for (std::string_view record : SplitBytes(AsBytes(pData, nSize), '\xFF')) {
        const size_t nBefore = queue.GetCount();
        queue.PutData(record.data(), static_cast<int32_t>(record.size()));
        const bool bStored = record.size() < static_cast<size_t>(g_nMsgDataMaxBytes) &&
                             nBefore <= static_cast<size_t>(g_nMsgQueueLimit);
        FUZZ_CHECK(queue.GetCount() == nBefore + (bStored ? 1 : 0));
        if (!bStored)
            continue;
        std::u16string strText = BytesAsU16(record);
        strText.resize(std::min(strText.size(), strText.find(u'\0')));
        expected.push_back(std::move(strText));
    }
    while (std::unique_ptr<CMsgData> pMsg = queue.GetMsg()) {
        FUZZ_CHECK(!expected.empty() && pMsg->Text() == expected.front());
        // The terminating zero unit directly after the counted bytes.
        FUZZ_CHECK(pMsg->m_pData[pMsg->m_nLen] == 0 && pMsg->m_pData[pMsg->m_nLen + 1] == 0);
        expected.pop_front();
    }
    FUZZ_CHECK(expected.empty());
    return 0;
}
