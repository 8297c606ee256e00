// The window tests' main: the tests run on a desktop of this process's own, so that the foreground
// window and the keyboard focus they set are theirs alone while other test programs run beside them.
// On an X display Wine makes it a virtual desktop of a fixed size, one X window that Wine draws every
// window into, so that showing and hiding a window never waits for a window manager that is not there.
// A window station of its own would keep the clipboard apart as well, but Wine then gives the desktop
// no display; the tests take turns with the clipboard instead (tests/win32/CMakeLists.txt).
#include "tests/win32/ui/WinUiFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kDesktopsKey[] = L"Software\\Wine\\Explorer\\Desktops";
constexpr wchar_t kDesktopSize[] = L"1920x1080";

class CPrivateDesktop : public ::testing::Environment {
public:
    void SetUp() override {
        m_strName = L"kivo-ui-" + std::to_wstring(GetCurrentProcessId());
        const wchar_t* strName = m_strName.c_str();
        // Wine makes a desktop named here a virtual one of this size.
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, strName, REG_SZ, kDesktopSize,
                                  sizeof kDesktopSize),
                  ERROR_SUCCESS);
        m_hDesktop = CreateDesktopW(strName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(m_hDesktop, nullptr);
        ASSERT_TRUE(SetThreadDesktop(m_hDesktop));
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, m_strName.c_str());
        // The desktop's own process would stay a second after the last user has gone, holding the
        // output that CTest waits on: it is asked to end now, as Wine asks it then.
        PostMessageW(GetDesktopWindow(), WM_CLOSE, 0, 0);
    }

private:
    std::wstring m_strName;
    HDESK m_hDesktop = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CPrivateDesktop);
    return RUN_ALL_TESTS();
}
