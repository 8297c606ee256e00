// The single-instance mutex and the shared login flag, seen from a second process
// (kivo_win32_instance_probe.exe, built beside this test).
#include "platform/win32/WinInstanceObjects.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// What the probe saw with the objects of strAppName: bit 0 set when it was a second instance, the
// flag's value in the bits above; -1 when it could not be run.
int RunProbe(const std::u16string& strAppName) {
    wchar_t szPath[MAX_PATH];
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strExe(szPath);
    strExe = strExe.substr(0, strExe.find_last_of(L'\\') + 1) + L"kivo_win32_instance_probe.exe";
    std::wstring strCmd = L"\"" + strExe + L"\" " + std::wstring(strAppName.begin(), strAppName.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(strExe.c_str(), strCmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD dwExit = 0;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(dwExit);
}

// Names of this test run only, so that no real instance and no earlier run is met.
std::u16string UniqueName(const char* pszCase) {
    const std::string s =
        std::string("KIVODialerTest-") + pszCase + "-" + std::to_string(GetCurrentProcessId());
    return std::u16string(s.begin(), s.end());
}

} // namespace

TEST(WinInstanceObjects, SecondProcessSeesTheFirstInstanceAndItsFlag) {
    const std::u16string strName = UniqueName("running");
    CWinInstanceObjects first(strName);
    EXPECT_FALSE(first.IsSecondInstance());
    uint32_t nValue = 99;
    ASSERT_TRUE(first.Read(nValue));
    EXPECT_EQ(nValue, 0u) << "a new flag reads as not logged in";

    EXPECT_EQ(RunProbe(strName), 1 | (0 << 1));
    ASSERT_TRUE(first.Write(1));
    EXPECT_EQ(RunProbe(strName), 1 | (1 << 1));
    ASSERT_TRUE(first.Write(0));
    EXPECT_EQ(RunProbe(strName), 1 | (0 << 1));
}

TEST(WinInstanceObjects, WithoutAFirstInstanceTheProcessIsTheFirst) {
    EXPECT_EQ(RunProbe(UniqueName("alone")), 0);
}
