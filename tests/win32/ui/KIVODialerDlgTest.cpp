// The dial dialog as the tray opens it, against a canned exchange on loopback: what it offers from the
// clipboard and the history, what it sends for what was typed, and what it keeps afterwards.
#include "platform/win32/ui/KIVODialerDlg.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"
#include "ui/DstHistory.h"

namespace {

constexpr std::u16string_view kNoNumber =
    u"発信先に有効な電話番号が指定されていません。\n発信先に電話番号を入力してください。";
constexpr std::u16string_view kCallOk = u"発信しました。しばらくお待ち下さい。";
constexpr std::u16string_view kCallNg = u"発信できませんでした。設定を確認して下さい。";

class DialDlg : public wintest::WinUiTest {
protected:
    void StoreHistory(std::initializer_list<std::u16string_view> entries) {
        int n = 1;
        for (std::u16string_view entry : entries)
            m_profile.WriteProfileString(kSectionDstNo, u"list" + ToU16Decimal(n++), entry);
    }
    std::u16string History(int n) {
        return m_profile.GetProfileString(kSectionDstNo, u"list" + ToU16Decimal(n), u"");
    }

    // Opens the dialog as the tray's dial command does, a fresh one each time.
    CKIVODialerDlg& Open() {
        if (m_app.m_pDialDlg)
            m_windows.DeleteTrayWindow(ETrayWindow::Dial);
        m_windows.CreateTrayWindow(ETrayWindow::Dial);
        EXPECT_NE(m_app.m_pDialDlg, nullptr);
        wintest::Pump(m_windows, 50);
        return *m_app.m_pDialDlg;
    }
    static std::vector<std::u16string> Items(HWND hCombo) {
        std::vector<std::u16string> items;
        const int nCount = static_cast<int>(SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < nCount; ++i) {
            wchar_t sz[256] = {};
            SendMessageW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sz));
            items.push_back(FromWide(sz));
        }
        return items;
    }
    static void Type(CKIVODialerDlg& dlg, std::u16string_view text) { SetWindowU16Text(dlg.m_cbDst, text); }
    static void ClickDial(CKIVODialerDlg& dlg) { SendMessageW(dlg.GetDlgItem(IDOK), BM_CLICK, 0, 0); }
    static bool Visible(const CKIVODialerDlg& dlg) { return IsWindowVisible(dlg.GetSafeHwnd()) != FALSE; }
};

} // namespace

// The clipboard is read as CF_TEXT in the ANSI code page (932 here): full-width digits in Shift_JIS
// come through as the digits they are.
TEST_F(DialDlg, TheClipboardsFirstLineComesFirstThenTheHistory) {
    StoreHistory({u"A", u"0123456789", u"B"});
    wintest::SetClipboardAnsiText("TEL \x82\x4f\x82\x50\x82\x51-345-6789\r\n2nd line 999");
    CKIVODialerDlg& dlg = Open();
    EXPECT_EQ(Items(dlg.m_cbDst), (std::vector<std::u16string>{u"０１２3456789", u"A", u"0123456789", u"B"}));
    EXPECT_EQ(SendMessageW(dlg.m_cbDst, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetWindowU16Text(dlg.m_cbDst), u"０１２3456789");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SRC), u"201@" + m_app.m_strPBX);
    EXPECT_EQ(GetWindowU16Text(dlg.GetSafeHwnd()), u"KIVODialer");
    EXPECT_TRUE(Visible(dlg));
    EXPECT_EQ(GetForegroundWindow(), dlg.GetSafeHwnd());

    // Text put there as Unicode reaches it as well, through the text the system makes of it.
    wintest::SetClipboardUnicodeText(u"03-1234-5678");
    EXPECT_EQ(GetWindowU16Text(Open().m_cbDst), u"0312345678");
}

TEST_F(DialDlg, WithoutANumberOnTheClipboardTheFirstHistoryEntryOrNothingIsShown) {
    wintest::SetClipboardAnsiText("no digits here");
    StoreHistory({u"A", u"B"});
    CKIVODialerDlg& dlg = Open();
    EXPECT_EQ(Items(dlg.m_cbDst), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(GetWindowU16Text(dlg.m_cbDst), u"A");

    m_profile.m_values.clear();
    wintest::SetClipboardAnsiText("");
    CKIVODialerDlg& empty = Open();
    EXPECT_TRUE(Items(empty.m_cbDst).empty());
    EXPECT_EQ(GetWindowU16Text(empty.m_cbDst), u"");
}

TEST_F(DialDlg, TheDestinationIsSentTrimmedFilteredOrWithTheSfaPrefix) {
    struct Case {
        std::u16string typed;
        std::string dialno;
    } cases[] = {
        {u"(012) 345-6789 #2", "01234567892"},
        {u" sfa-12ab ", "SFA-12ab"},
        {u"SFA-", "SFA-"},
        {u"*67", "*67"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U16ToUtf8(c.typed));
        m_mainWnd.m_records.clear();
        m_fake.boxes.clear();
        CKIVODialerDlg& dlg = Open();
        Type(dlg, c.typed);
        ClickDial(dlg);
        EXPECT_EQ(LastDialNo(), c.dialno);
        EXPECT_NE(m_pServer->LastRequest().find("&cbtime=15 "), std::string::npos);
        ASSERT_EQ(m_fake.boxes.size(), 1u);
        EXPECT_EQ(m_fake.boxes[0].text, kCallOk);
        EXPECT_EQ(m_fake.boxes[0].caption, u"KIVODialer");
        EXPECT_EQ(m_fake.boxes[0].type & MB_ICONMASK, MB_ICONINFORMATION);
        EXPECT_FALSE(Visible(dlg));
        // Both histories keep the text as typed.
        EXPECT_EQ(History(1), c.typed);
        ASSERT_EQ(m_mainWnd.m_records.size(), 1u);
        EXPECT_EQ(m_mainWnd.m_records.back().strNumber, c.typed);
        EXPECT_EQ(m_mainWnd.m_records.back().nMode, 0);
        EXPECT_TRUE(m_mainWnd.m_records.back().strName.empty());
    }
}

TEST_F(DialDlg, ANumberWithoutDigitsIsRefusedBeforeAnythingIsSent) {
    CKIVODialerDlg& dlg = Open();
    Type(dlg, u"letters only");
    ClickDial(dlg);
    ASSERT_EQ(m_fake.boxes.size(), 1u);
    EXPECT_EQ(m_fake.boxes[0].text, kNoNumber);
    EXPECT_EQ(m_fake.boxes[0].caption, u"KIVODialer");
    EXPECT_EQ(m_fake.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(m_pServer->LastRequest(), "");
    EXPECT_TRUE(Visible(dlg));
    EXPECT_TRUE(m_profile.m_values.empty());
    EXPECT_TRUE(m_mainWnd.m_records.empty());
}

TEST_F(DialDlg, ARefusedOrUndeliveredCallStoresNothingAndKeepsTheDialogAsItWas) {
    StoreHistory({u"A"});
    for (const char* reply : {"Call_NG", ""}) {
        SCOPED_TRACE(reply);
        m_fake.boxes.clear();
        UseReply("Call_NG");
        if (!*reply) // nobody listens there any more
            m_app.m_strPBX = u"127.0.0.1:" + ToU16Decimal(wintest::FreePort(SOCK_STREAM));
        CKIVODialerDlg& dlg = Open();
        Type(dlg, u"03-1234-5678");
        ClickDial(dlg);
        if (*reply) {
            EXPECT_EQ(LastDialNo(), "0312345678");
            ASSERT_EQ(m_fake.boxes.size(), 1u);
            EXPECT_EQ(m_fake.boxes[0].text, kCallNg);
        }
        ASSERT_EQ(m_fake.boxes.size(), 1u);
        EXPECT_EQ(m_fake.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
        EXPECT_TRUE(Visible(dlg));
        EXPECT_EQ(GetWindowU16Text(dlg.m_cbDst), u"03-1234-5678");
        EXPECT_EQ(History(1), u"A");
        EXPECT_EQ(History(2), u"");
        EXPECT_TRUE(m_mainWnd.m_records.empty());
    }
}

TEST_F(DialDlg, DiallingAHistoryEntryMovesItToTheTop) {
    StoreHistory({u"A", u"012-345-6789", u"B"});
    CKIVODialerDlg& dlg = Open();
    SendMessageW(dlg.m_cbDst, CB_SETCURSEL, 1, 0);
    ClickDial(dlg);
    EXPECT_EQ(LastDialNo(), "0123456789");
    EXPECT_EQ(History(1), u"012-345-6789");
    EXPECT_EQ(History(2), u"A");
    EXPECT_EQ(History(3), u"B");
    ASSERT_EQ(m_mainWnd.m_records.size(), 1u);
    EXPECT_EQ(m_mainWnd.m_records.back().strNumber, u"012-345-6789");
}

// The keys reach the dialog through the program's message loop and the windows' filter: Enter in the
// destination presses "ダイヤル", Esc closes without sending, Tab moves on to the button. A number
// typed longer than the box is wide scrolls in the field and is sent whole.
TEST_F(DialDlg, EnterInTheDestinationDialsAndEscapeClosesWithoutSending) {
    CKIVODialerDlg& dlg = Open();
    SetFocus(dlg.m_cbDst);
    const std::string strTyped = "03123456789012345678901234567890123456789012345678901234567890";
    for (char ch : strTyped)
        wintest::PressKeys({static_cast<WORD>(ch)});
    ASSERT_TRUE(wintest::PumpUntil(m_windows, [&] {
        return GetWindowU16Text(dlg.m_cbDst).size() == strTyped.size();
    })) << U16ToUtf8(GetWindowU16Text(dlg.m_cbDst));
    wintest::PressKeys({VK_RETURN});
    ASSERT_TRUE(wintest::PumpUntil(m_windows, [&] { return !Visible(dlg); }));
    EXPECT_EQ(LastDialNo(), strTyped);
    EXPECT_TRUE(Items(dlg.m_cbDst).empty()); // Enter adds nothing to the list

    UseReply("Call_OK");
    CKIVODialerDlg& second = Open();
    Type(second, u"0399999999");
    SetFocus(second.m_cbDst);
    wintest::PressKeys({VK_TAB});
    ASSERT_TRUE(wintest::PumpUntil(m_windows, [&] { return GetFocus() == second.GetDlgItem(IDOK); }));
    wintest::PressKeys({VK_ESCAPE});
    ASSERT_TRUE(wintest::PumpUntil(m_windows, [&] { return !Visible(second); }));
    EXPECT_EQ(m_pServer->LastRequest(), "");
    EXPECT_EQ(m_fake.boxes.size(), 1u); // the first call's message only
}

// The call's message box has no owner, so "ダイヤル" can be pressed again while it is open: that places
// no second call, and the number is remembered once.
TEST_F(DialDlg, DialPressedAgainWhileTheReplyIsShownPlacesNoSecondCall) {
    struct CPressAgain : IMessageBox {
        IMessageBox& inner;
        std::function<void()> press;
        explicit CPressAgain(IMessageBox& i) : inner(i) {}
        int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override {
            press();
            return inner.MessageBox(text, caption, nType);
        }
    } boxes(m_fake);
    CKIVODialerApp app(CPlatform{m_profile, m_http, m_fake, boxes, m_fake, m_fake, m_codePage, m_clock});
    app.m_strUser = m_app.m_strUser;
    app.m_strPass = m_app.m_strPass;
    app.m_strPBX = m_app.m_strPBX;
    app.m_pMainWnd = &m_mainWnd;
    CKIVODialerDlg dlg(app);
    ASSERT_TRUE(dlg.Create());
    boxes.press = [&] { ClickDial(dlg); };
    Type(dlg, u"0312345678");
    ClickDial(dlg);
    EXPECT_EQ(m_fake.boxes.size(), 1u);
    EXPECT_EQ(m_mainWnd.m_records.size(), 1u);
    EXPECT_FALSE(Visible(dlg));
}
