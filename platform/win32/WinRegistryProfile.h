// The profile in the registry: HKEY_CURRENT_USER\Software\<company>\<application>, one subkey per
// section. Integers are REG_DWORD (read back as unsigned, used as int), texts REG_SZ.
#pragma once

#include "platform/IProfile.h"

#include <string>

class CWinRegistryProfile : public IProfile {
public:
    explicit CWinRegistryProfile(std::u16string strCompany = u"Selvane-Works",
                                 std::u16string strAppName = u"KIVODialer");

    // An entry of another type than REG_DWORD reads as nDefault.
    int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) override;
    // An entry of another type than REG_SZ reads as strDefault; the text ends at its first NUL.
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view strDefault) override;
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;
    // Every write is already in the registry when it returns.
    void Flush() override {}

    // Software\<company>\<application>, the key under HKEY_CURRENT_USER.
    const std::u16string& KeyPath() const { return m_strKeyPath; }

private:
    std::u16string m_strKeyPath;
};
