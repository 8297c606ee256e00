#include "notify/NodeBlocks.h"

#include <algorithm>

void* CNodeBlocks::Take(size_t nSize) {
    if (m_nSlot == 0) {
        // Every slot can hold a free-list link and is aligned as new[] aligns the block.
        constexpr size_t kAlign = alignof(std::max_align_t);
        m_nSlot = (std::max(nSize, sizeof(CFree)) + kAlign - 1) / kAlign * kAlign;
    }
    if (nSize > m_nSlot)
        throw std::bad_alloc();
    if (!m_pFree) {
        m_blocks.push_back(std::make_unique<std::byte[]>(m_nSlot * kNodesPerBlock));
        std::byte* pBlock = m_blocks.back().get();
        for (size_t i = kNodesPerBlock; i-- > 0;)
            m_pFree = new (pBlock + i * m_nSlot) CFree{m_pFree};
    }
    CFree* p = m_pFree;
    m_pFree = p->pNext;
    ++m_nInUse;
    return p;
}

void CNodeBlocks::Give(void* p) {
    if (!p)
        return;
    m_pFree = new (p) CFree{m_pFree};
    if (--m_nInUse == 0) {
        m_pFree = nullptr;
        m_blocks.clear();
    }
}
