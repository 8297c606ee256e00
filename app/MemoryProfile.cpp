#include "app/MemoryProfile.h"

#include <cwchar>
#include <string>

namespace {
std::pair<std::u16string, std::u16string> Key(std::u16string_view section, std::u16string_view entry) {
    return {std::u16string(section), std::u16string(entry)};
}
} // namespace

int CMemoryProfile::GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) {
    auto it = m_values.find(Key(section, entry));
    if (it == m_values.end())
        return nDefault;
    if (const int* p = std::get_if<int>(&it->second))
        return *p;
    return nDefault;
}

std::u16string CMemoryProfile::GetProfileString(std::u16string_view section, std::u16string_view entry,
                                                std::u16string_view strDefault) {
    auto it = m_values.find(Key(section, entry));
    if (it == m_values.end())
        return std::u16string(strDefault);
    if (const std::u16string* p = std::get_if<std::u16string>(&it->second))
        return *p;
    const std::string digits = std::to_string(std::get<int>(it->second));
    return std::u16string(digits.begin(), digits.end());
}

bool CMemoryProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) {
    m_values[Key(section, entry)] = nValue;
    return true;
}

bool CMemoryProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view value) {
    m_values[Key(section, entry)] = std::u16string(value);
    return true;
}

bool CMemoryProfile::Has(std::u16string_view section, std::u16string_view entry) const {
    return m_values.count(Key(section, entry)) != 0;
}

void CMemoryProfile::Erase(std::u16string_view section, std::u16string_view entry) {
    m_values.erase(Key(section, entry));
}
