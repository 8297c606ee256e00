// The registry profile: every type written and read back, and the registry types underneath.
#include "platform/win32/WinRegistryProfile.h"

#include <gtest/gtest.h>

#include <windows.h>

#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

namespace {

class WinRegistryProfileTest : public testing::Test {
protected:
    // A company key of the test's own, so that a real profile is never touched.
    WinRegistryProfileTest() : m_profile(u"Selvane-Works-Test", u"KIVODialer") { DeleteKey(); }
    ~WinRegistryProfileTest() override { DeleteKey(); }

    void DeleteKey() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Selvane-Works-Test"); }

    // The type and raw bytes of a stored value; type REG_NONE when absent.
    DWORD StoredType(const wchar_t* pszSection, const wchar_t* pszEntry) {
        const std::wstring strKey = L"Software\\Selvane-Works-Test\\KIVODialer\\" + std::wstring(pszSection);
        DWORD dwType = REG_NONE;
        if (RegGetValueW(HKEY_CURRENT_USER, strKey.c_str(), pszEntry, RRF_RT_ANY | RRF_NOEXPAND, &dwType,
                         nullptr, nullptr) != ERROR_SUCCESS)
            return REG_NONE;
        return dwType;
    }
    void StoreRaw(const wchar_t* pszSection, const wchar_t* pszEntry, DWORD dwType, const void* pData,
                  DWORD cb) {
        const std::wstring strKey = L"Software\\Selvane-Works-Test\\KIVODialer\\" + std::wstring(pszSection);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, strKey.c_str(), pszEntry, dwType, pData, cb),
                  ERROR_SUCCESS);
    }

    CWinRegistryProfile m_profile;
};

} // namespace

TEST_F(WinRegistryProfileTest, EveryTypeRoundTripsWithItsRegistryType) {
    EXPECT_EQ(m_profile.KeyPath(), u"Software\\Selvane-Works-Test\\KIVODialer");
    EXPECT_TRUE(m_profile.WriteProfileString(u"Settings", u"User", u"201"));
    EXPECT_TRUE(m_profile.WriteProfileString(u"Settings", u"PBX", u"交換機.example"));
    EXPECT_TRUE(m_profile.WriteProfileString(u"Settings", u"Pass", u""));
    EXPECT_TRUE(m_profile.WriteProfileInt(u"Settings", u"PortNum", 10640));
    EXPECT_TRUE(m_profile.WriteProfileInt(u"Settings", u"DblClk", -1));
    EXPECT_TRUE(m_profile.WriteProfileString(u"CDR", u"Mode1", u"1"));
    EXPECT_TRUE(m_profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", 65537));
    m_profile.Flush();

    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"User", u"-"), u"201");
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"PBX", u"-"), u"交換機.example");
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"Pass", u"-"), u"");
    EXPECT_EQ(m_profile.GetProfileInt(u"Settings", u"PortNum", 0), 10640);
    // 32 bits read back as unsigned and used as int.
    EXPECT_EQ(m_profile.GetProfileInt(u"Settings", u"DblClk", 0), -1);
    EXPECT_EQ(m_profile.GetProfileString(u"CDR", u"Mode1", u"-"), u"1");
    EXPECT_EQ(m_profile.GetProfileInt(u"Config-UDP", u"Port-Recv", 0), 65537);

    EXPECT_EQ(StoredType(L"Settings", L"User"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredType(L"Settings", L"PortNum"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(StoredType(L"CDR", L"Mode1"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredType(L"Config-UDP", L"Port-Recv"), static_cast<DWORD>(REG_DWORD));
}

TEST_F(WinRegistryProfileTest, AbsentOrOtherTypesReadAsTheDefault) {
    EXPECT_EQ(m_profile.GetProfileInt(u"Settings", u"Cbtime", 10), 10);
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"User", u"none"), u"none");

    const wchar_t szText[] = L"12";
    StoreRaw(L"Settings", L"Cbtime", REG_SZ, szText, sizeof szText);
    EXPECT_EQ(m_profile.GetProfileInt(u"Settings", u"Cbtime", 10), 10);
    const DWORD dwValue = 7;
    StoreRaw(L"Settings", L"User", REG_DWORD, &dwValue, sizeof dwValue);
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"User", u"none"), u"none");
    // A hand-made REG_SZ without its NUL, and one with a NUL inside: the text ends at the first NUL.
    StoreRaw(L"Settings", L"PBX", REG_SZ, L"pbx", 3 * sizeof(wchar_t));
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"PBX", u""), u"pbx");
    StoreRaw(L"Settings", L"Pass", REG_SZ, L"pw\0rest", 8 * sizeof(wchar_t));
    EXPECT_EQ(m_profile.GetProfileString(u"Settings", u"Pass", u""), u"pw");
}
