// The settings dialog run modally as the tray's settings command runs it, driven from inside its own
// loop: the fields it shows, the checks on OK with their messages and focus, and what it stores.
#include "platform/win32/ui/ConfigDlg.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"
#include "tray/WindowRules.h"

namespace {

class ConfigDlg : public wintest::WinUiTest {
protected:
    ConfigDlg() {
        m_app.m_strPBX = u"pbx.example.invalid";
        m_app.m_nPortNum = 10640;
        m_app.m_nDblClk = 1;
    }
    // The open settings dialog's window.
    static HWND Dlg() { return wintest::FindDialog(u"環境設定"); }
    static std::u16string Text(int nId) { return GetWindowU16Text(GetDlgItem(Dlg(), nId)); }
    static void SetText(int nId, std::u16string_view text) { SetWindowU16Text(GetDlgItem(Dlg(), nId), text); }
    static void Click(int nId) { SendMessageW(GetDlgItem(Dlg(), nId), BM_CLICK, 0, 0); }
    static int Selection() {
        return static_cast<int>(SendMessageW(GetDlgItem(Dlg(), IDC_DBLCLK), CB_GETCURSEL, 0, 0));
    }

    // Runs the dialog through the tray's rules with the steps inside its loop; true when closed with OK.
    bool Run(std::vector<wintest::CModalScript::Step> steps) {
        steps.insert(steps.begin(), [] { return Dlg() != nullptr; });
        wintest::CModalScript script(std::move(steps));
        return script.Run([&] { return RunModalOnce(m_windows, ETrayWindow::Settings); });
    }
};

} // namespace

TEST_F(ConfigDlg, FieldsShowTheSettingsAndTheFiveActions) {
    std::vector<std::u16string> items;
    const bool bOk = Run({[&] {
        EXPECT_EQ(GetWindowU16Text(Dlg()), u"環境設定");
        EXPECT_EQ(Text(IDC_USER), u"201");
        EXPECT_EQ(Text(IDC_PASS), u"secret");
        EXPECT_EQ(SendMessageW(GetDlgItem(Dlg(), IDC_PASS), EM_GETPASSWORDCHAR, 0, 0) != 0, true);
        EXPECT_EQ(Text(IDC_PBX), u"pbx.example.invalid");
        EXPECT_EQ(Text(IDC_CBTIME), u"15");
        EXPECT_EQ(Text(IDC_PORTNUM), u"10640");
        HWND hCombo = GetDlgItem(Dlg(), IDC_DBLCLK);
        for (int i = 0; i < SendMessageW(hCombo, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t sz[64] = {};
            SendMessageW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sz));
            items.push_back(FromWide(sz));
        }
        EXPECT_EQ(Selection(), 1);
        // Asked again while it is open, the command brings it to the front and opens no second one.
        EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::Settings), ETrayWindowState::Open);
        EXPECT_FALSE(RunModalOnce(m_windows, ETrayWindow::Settings));
        Click(IDCANCEL);
        return true;
    }});
    EXPECT_FALSE(bOk);
    EXPECT_EQ(items, (std::vector<std::u16string>{u"ダイヤル", u"発着信履歴", u"KIVO-PBX Manager",
                                                  u"PBXのアドレス帳を開く", u"PBXの通話履歴を開く"}));
    EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::Settings), ETrayWindowState::None);
}

TEST_F(ConfigDlg, AStoredActionOutsideTheListShowsAndStoresTheFirstItem) {
    for (int nStored : {7, 5, -1}) {
        SCOPED_TRACE(nStored);
        m_app.m_nDblClk = nStored;
        EXPECT_TRUE(Run({[&] {
            EXPECT_EQ(Selection(), 0);
            Click(IDOK);
            return true;
        }}));
        EXPECT_EQ(m_app.m_nDblClk, 0);
        EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"DblClk", -9), 0);
    }
}

TEST_F(ConfigDlg, OkStoresTheSixSettingsInTheApplicationAndTheProfile) {
    EXPECT_TRUE(Run({[&] {
        SetText(IDC_USER, u"202");
        SetText(IDC_PASS, u"pa&ss word");
        SetText(IDC_PBX, u"127.0.0.1:8080");
        SetText(IDC_CBTIME, u" 20 ");
        SetText(IDC_PORTNUM, u"65535");
        SendMessageW(GetDlgItem(Dlg(), IDC_DBLCLK), CB_SETCURSEL, 4, 0);
        Click(IDOK);
        return true;
    }}));
    EXPECT_TRUE(m_fake.boxes.empty());
    EXPECT_EQ(m_app.m_strUser, u"202");
    EXPECT_EQ(m_app.m_strPass, u"pa&ss word");
    EXPECT_EQ(m_app.m_strPBX, u"127.0.0.1:8080");
    EXPECT_EQ(m_app.m_nCbtime, 20);
    EXPECT_EQ(m_app.m_nPortNum, 65535);
    EXPECT_EQ(m_app.m_nDblClk, 4);
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"User", u""), u"202");
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"Pass", u""), u"pa&ss word");
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"PBX", u""), u"127.0.0.1:8080");
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"Cbtime", 0), 20);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"PortNum", 0), 65535);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"DblClk", 0), 4);
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(ConfigDlg, TheFirstBadFieldIsReportedFocusedWithItsTextSelectedAndNothingIsStored) {
    struct Case {
        std::u16string cbtime, portnum;
        std::u16string message;
        int nField;
    } cases[] = {
        {u"4", u"10640", u"Enter an integer between 5 and 20.", IDC_CBTIME},
        {u"21", u"10640", u"Enter an integer between 5 and 20.", IDC_CBTIME},
        {u"", u"10640", u"Enter an integer.", IDC_CBTIME},
        {u"10", u"1023", u"Enter an integer between 1024 and 65535.", IDC_PORTNUM},
        {u"10", u"65536", u"Enter an integer between 1024 and 65535.", IDC_PORTNUM},
        {u"10", u"abc", u"Enter an integer.", IDC_PORTNUM},
        {u"4", u"abc", u"Enter an integer between 5 and 20.", IDC_CBTIME}, // both bad: ring time only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U16ToUtf8(c.cbtime + u"/" + c.portnum));
        m_fake.boxes.clear();
        const bool bOk = Run({[&] {
            SetText(IDC_USER, u"changed");
            SetText(IDC_CBTIME, c.cbtime);
            SetText(IDC_PORTNUM, c.portnum);
            SetFocus(GetDlgItem(Dlg(), IDC_USER));
            Click(IDOK);
            EXPECT_NE(Dlg(), nullptr) << "the dialog stays open";
            HWND hField = GetDlgItem(Dlg(), c.nField);
            EXPECT_EQ(GetFocus(), hField);
            DWORD dwStart = 0, dwEnd = 0;
            SendMessageW(hField, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
                         reinterpret_cast<LPARAM>(&dwEnd));
            EXPECT_EQ(dwStart, 0u);
            EXPECT_EQ(dwEnd, Text(c.nField).size());
            Click(IDCANCEL);
            return true;
        }});
        EXPECT_FALSE(bOk);
        ASSERT_EQ(m_fake.boxes.size(), 1u);
        EXPECT_EQ(m_fake.boxes[0].text, c.message);
        EXPECT_EQ(m_fake.boxes[0].caption, m_app.m_strAppName);
        EXPECT_EQ(m_fake.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
        EXPECT_EQ(m_app.m_strUser, u"201");
        EXPECT_TRUE(m_profile.m_values.empty());
        EXPECT_EQ(m_profile.m_nFlushes, 0);
    }
}

TEST_F(ConfigDlg, OutOfRangeStoredValuesAreShownAndRefusedOnlyOnOk) {
    m_app.m_nCbtime = 99;
    EXPECT_FALSE(Run({[&] {
        EXPECT_EQ(Text(IDC_CBTIME), u"99");
        Click(IDOK);
        Click(IDCANCEL);
        return true;
    }}));
    ASSERT_EQ(m_fake.boxes.size(), 1u);
    EXPECT_EQ(m_fake.boxes[0].text, u"Enter an integer between 5 and 20.");
}

TEST_F(ConfigDlg, CancelEscapeAndTheCloseBoxChangeNothing) {
    for (int nWay = 0; nWay < 3; ++nWay) {
        SCOPED_TRACE(nWay);
        EXPECT_FALSE(Run({[&] {
            SetText(IDC_USER, u"changed");
            SetText(IDC_CBTIME, u"4");
            if (nWay == 0)
                Click(IDCANCEL);
            else if (nWay == 1)
                wintest::PressKeys({VK_ESCAPE});
            else
                PostMessageW(Dlg(), WM_CLOSE, 0, 0);
            return true;
        }}));
        EXPECT_TRUE(m_fake.boxes.empty());
        EXPECT_EQ(m_app.m_strUser, u"201");
        EXPECT_TRUE(m_profile.m_values.empty());
    }
}
