// A profile held in memory: the store of the unit tests, and of a run whose profile cannot be opened.
#pragma once

#include "platform/IProfile.h"

#include <map>
#include <utility>
#include <variant>

class CMemoryProfile : public IProfile {
public:
    using Value = std::variant<int, std::u16string>;

    int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) override;
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view strDefault) override;
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;
    void Flush() override { ++m_nFlushes; }

    bool Has(std::u16string_view section, std::u16string_view entry) const;
    void Erase(std::u16string_view section, std::u16string_view entry);

    std::map<std::pair<std::u16string, std::u16string>, Value> m_values;
    int m_nFlushes = 0;
};
