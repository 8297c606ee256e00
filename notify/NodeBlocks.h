// List nodes taken from blocks of 10, the way the framework's pointer list allocates them: a trickle of
// notifications reuses the nodes of earlier ones instead of allocating one per record. A block goes
// back to the heap once every node is free again (the list is empty), so an idle queue holds no memory.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

// Fixed-size slots in blocks of kNodesPerBlock; the slot size is that of the first request.
class CNodeBlocks {
public:
    static constexpr size_t kNodesPerBlock = 10;

    CNodeBlocks() = default;
    CNodeBlocks(const CNodeBlocks&) = delete;
    CNodeBlocks& operator=(const CNodeBlocks&) = delete;

    void* Take(size_t nSize);
    void Give(void* p);

    size_t BlockCount() const { return m_blocks.size(); }

private:
    struct CFree {
        CFree* pNext;
    };
    size_t m_nSlot = 0;
    size_t m_nInUse = 0;
    CFree* m_pFree = nullptr;
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
};

// A standard allocator over one CNodeBlocks, for the node type the list rebinds it to. Requests for
// more than one object (no list makes them) go to the heap.
template <class T> class CNodeAllocator {
public:
    using value_type = T;

    explicit CNodeAllocator(CNodeBlocks& blocks) noexcept : m_pBlocks(&blocks) {}
    template <class U> CNodeAllocator(const CNodeAllocator<U>& other) noexcept : m_pBlocks(other.Blocks()) {}

    T* allocate(size_t n) {
        if (n != 1)
            return std::allocator<T>().allocate(n);
        return static_cast<T*>(m_pBlocks->Take(sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept {
        if (n != 1)
            std::allocator<T>().deallocate(p, n);
        else
            m_pBlocks->Give(p);
    }

    CNodeBlocks* Blocks() const noexcept { return m_pBlocks; }
    template <class U> bool operator==(const CNodeAllocator<U>& other) const noexcept {
        return m_pBlocks == other.Blocks();
    }

private:
    CNodeBlocks* m_pBlocks;
};
