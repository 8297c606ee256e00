// One received notification text: UTF-16 code units followed by a terminating zero unit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CMsgData {
public:
    // Copies nLen bytes of pData and appends two zero bytes; a negative count is taken as 0.
    CMsgData(const void* pData, int32_t nLen);
    virtual ~CMsgData() = default;

    CMsgData(const CMsgData&) = delete;
    CMsgData& operator=(const CMsgData&) = delete;

    // The text as a reader of a zero-terminated wide string sees it.
    std::u16string Text() const;

    int32_t m_nLen = 0;                 // bytes of text, terminator not counted
    std::unique_ptr<uint8_t[]> m_pData; // the text and two zero bytes
};
