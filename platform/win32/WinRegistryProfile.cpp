#include "platform/win32/WinRegistryProfile.h"

#include <windows.h>

// <windows.h> names the wide forms of the old INI-file calls like the profile operations.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

#include <vector>

namespace {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The section's key, opened for reading or created for writing; closed with the object.
class CSectionKey {
public:
    CSectionKey(const std::u16string& strKeyPath, std::u16string_view section, bool bWrite) {
        const std::wstring strPath = Wide(strKeyPath) + L"\\" + Wide(section);
        const LSTATUS rc =
            bWrite ? RegCreateKeyExW(HKEY_CURRENT_USER, strPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &m_hKey, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, strPath.c_str(), 0, KEY_QUERY_VALUE, &m_hKey);
        if (rc != ERROR_SUCCESS)
            m_hKey = nullptr;
    }
    ~CSectionKey() {
        if (m_hKey)
            RegCloseKey(m_hKey);
    }
    CSectionKey(const CSectionKey&) = delete;
    CSectionKey& operator=(const CSectionKey&) = delete;

    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

} // namespace

CWinRegistryProfile::CWinRegistryProfile(std::u16string strCompany, std::u16string strAppName)
    : m_strKeyPath(u"Software\\" + strCompany + u"\\" + strAppName) {}

int CWinRegistryProfile::GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) {
    CSectionKey key(m_strKeyPath, section, false);
    if (!key.Get())
        return nDefault;
    DWORD dwType = 0;
    DWORD dwValue = 0;
    DWORD cbValue = sizeof dwValue;
    if (RegQueryValueExW(key.Get(), Wide(entry).c_str(), nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue),
                         &cbValue) != ERROR_SUCCESS ||
        dwType != REG_DWORD || cbValue != sizeof dwValue)
        return nDefault;
    // 32 bits read as unsigned and used as a signed int: 0xFFFFFFFF is -1.
    return static_cast<int>(dwValue);
}

std::u16string CWinRegistryProfile::GetProfileString(std::u16string_view section, std::u16string_view entry,
                                                     std::u16string_view strDefault) {
    CSectionKey key(m_strKeyPath, section, false);
    if (!key.Get())
        return std::u16string(strDefault);
    const std::wstring strEntry = Wide(entry);
    // The value may grow between the size query and the read (another instance writing): ask again.
    for (int nTry = 0; nTry < 4; ++nTry) {
        DWORD dwType = 0;
        DWORD cbData = 0;
        if (RegQueryValueExW(key.Get(), strEntry.c_str(), nullptr, &dwType, nullptr, &cbData) !=
                ERROR_SUCCESS ||
            dwType != REG_SZ)
            return std::u16string(strDefault);
        std::vector<wchar_t> buf(cbData / sizeof(wchar_t) + 1, L'\0');
        DWORD cbRead = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        const LSTATUS rc = RegQueryValueExW(key.Get(), strEntry.c_str(), nullptr, &dwType,
                                            reinterpret_cast<BYTE*>(buf.data()), &cbRead);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS || dwType != REG_SZ)
            return std::u16string(strDefault);
        // A stored value need not end with a NUL, and may hold one inside: the text ends at the first.
        const size_t nChars = cbRead / sizeof(wchar_t);
        std::u16string text(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(nChars));
        if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos)
            text.resize(nul);
        return text;
    }
    return std::u16string(strDefault);
}

bool CWinRegistryProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry,
                                          int nValue) {
    CSectionKey key(m_strKeyPath, section, true);
    if (!key.Get())
        return false;
    const DWORD dwValue = static_cast<DWORD>(nValue);
    return RegSetValueExW(key.Get(), Wide(entry).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue) == ERROR_SUCCESS;
}

bool CWinRegistryProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                             std::u16string_view value) {
    CSectionKey key(m_strKeyPath, section, true);
    if (!key.Get())
        return false;
    // With its terminating NUL, as REG_SZ values are stored.
    const std::wstring strValue = Wide(value);
    return RegSetValueExW(key.Get(), Wide(entry).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(strValue.c_str()),
                          static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
