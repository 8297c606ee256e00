#include "notify/MsgData.h"

#include <cstring>

CMsgData::CMsgData(const void* pData, int32_t nLen) : m_nLen(nLen > 0 ? nLen : 0) {
    const size_t nBytes = static_cast<size_t>(m_nLen);
    m_pData = std::make_unique<uint8_t[]>(nBytes + 2); // value-initialised: the terminator is already there
    if (nBytes != 0 && pData != nullptr)
        std::memcpy(m_pData.get(), pData, nBytes);
}

std::u16string CMsgData::Text() const {
    // memcpy, not a cast: the buffer is a byte array and need not be aligned for char16_t.
    std::u16string text(static_cast<size_t>(m_nLen) / 2, u'\0');
    std::memcpy(text.data(), m_pData.get(), text.size() * sizeof(char16_t));
    if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos)
        text.resize(nul);
    return text;
}
