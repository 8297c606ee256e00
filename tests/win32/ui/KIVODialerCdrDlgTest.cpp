// The call history window as the tray opens it, against a canned exchange on loopback: its rows and
// columns, Ctrl+C through the accelerator table, calling back, and its rectangle.
#include "platform/win32/ui/KIVODialerCdrDlg.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"
#include "tray/WindowRules.h"
#include "ui/CdrWindowRect.h"
#include "ui/DstHistory.h"

namespace {

class CdrDlg : public wintest::WinUiTest {
protected:
    void AddRecords(std::initializer_list<CdrRecord> records) {
        for (const CdrRecord& rec : records)
            m_mainWnd.m_records.push_back(rec);
    }
    CKIVODialerCdrDlg& Open() {
        OpenWindowOnce(m_windows, ETrayWindow::CallHistory);
        EXPECT_NE(m_app.m_pCdrDlg, nullptr);
        wintest::Pump(m_windows, 50);
        return *m_app.m_pCdrDlg;
    }
    static std::u16string Cell(HWND hList, int nItem, int nColumn) {
        wchar_t sz[256] = {};
        LVITEMW item{};
        item.iSubItem = nColumn;
        item.pszText = sz;
        item.cchTextMax = 256;
        SendMessageW(hList, LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
        return FromWide(sz);
    }
    static std::vector<std::u16string> Row(HWND hList, int nItem) {
        return {Cell(hList, nItem, 0), Cell(hList, nItem, 1), Cell(hList, nItem, 2), Cell(hList, nItem, 3)};
    }
    static int Rows(HWND hList) { return static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0)); }
    static int ColumnWidth(HWND hList, int n) {
        return static_cast<int>(SendMessageW(hList, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(n), 0));
    }
    static void Select(HWND hList, int nItem) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = nItem >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SendMessageW(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
    }
    // A double click on the row's number cell, as the mouse makes it.
    static void DoubleClickRow(HWND hList, int nItem) {
        RECT rc{};
        rc.top = 2; // the sub-item's column
        rc.left = LVIR_BOUNDS;
        SendMessageW(hList, LVM_GETSUBITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&rc));
        const LPARAM pos = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageW(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, pos);
        SendMessageW(hList, WM_LBUTTONUP, 0, pos);
    }
    // Ctrl+C typed into the list; true once the clipboard holds the text.
    bool CopyWithCtrlC(CKIVODialerCdrDlg& dlg, std::u16string_view expected, int nTimeoutMs = 1500) {
        SetForegroundWindow(dlg.GetSafeHwnd());
        SetFocus(dlg.m_list);
        wintest::PressKeys({VK_CONTROL, 'C'});
        return wintest::PumpUntil(
            m_windows, [&] { return wintest::ClipboardUnicodeText() == expected; }, nTimeoutMs);
    }
    void StoreRect(int left, int top, int right, int bottom) {
        m_profile.WriteProfileInt(kSectionCdrRect, u"left", left);
        m_profile.WriteProfileInt(kSectionCdrRect, u"top", top);
        m_profile.WriteProfileInt(kSectionCdrRect, u"right", right);
        m_profile.WriteProfileInt(kSectionCdrRect, u"bottom", bottom);
    }
    // The close box: the dialog takes it as Cancel, posted.
    void Close(CKIVODialerCdrDlg& dlg) {
        SendMessageW(dlg.GetSafeHwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(wintest::PumpUntil(m_windows, [&] { return !IsWindowVisible(dlg.GetSafeHwnd()); }));
    }
    static RECT WindowRect(HWND hWnd) {
        RECT rc{};
        GetWindowRect(hWnd, &rc);
        return rc;
    }

    const CdrRecord m_recA{u"0311111111", u"", u"2024/01/30 08:00:00", 0};
    const CdrRecord m_recB{u"0322222222", u"山田", u"2024/01/30 09:00:00", 1};
    const CdrRecord m_recC{u"0333333333", u"", u"2024/01/31 10:00:00", 1};
};

using Cells = std::vector<std::u16string>;

} // namespace

TEST_F(CdrDlg, RowsAreNewestFirstWithTheKindOfEachCall) {
    AddRecords({m_recA, m_recB, m_recC, {u"0344444444", u"", u"2024/01/31 11:00:00", 7}});
    CKIVODialerCdrDlg& dlg = Open();
    ASSERT_EQ(Rows(dlg.m_list), 4);
    EXPECT_EQ(Row(dlg.m_list, 0), (Cells{u"着信", u"2024/01/31 11:00:00", u"0344444444", u""}));
    EXPECT_EQ(Row(dlg.m_list, 1), (Cells{u"着信", u"2024/01/31 10:00:00", u"0333333333", u""}));
    EXPECT_EQ(Row(dlg.m_list, 2), (Cells{u"着信", u"2024/01/30 09:00:00", u"0322222222", u"山田"}));
    EXPECT_EQ(Row(dlg.m_list, 3), (Cells{u"発信", u"2024/01/30 08:00:00", u"0311111111", u""}));
    EXPECT_EQ(GetWindowU16Text(dlg.GetSafeHwnd()), u"発着信履歴");
    EXPECT_TRUE(IsWindowVisible(dlg.GetSafeHwnd()));
}

// The window listens to the history: a call placed or received while it exists shows without anyone
// asking it to refresh, hidden or not, and a deleted window is no longer told.
TEST_F(CdrDlg, ARecordAddedWhileTheWindowExistsShowsAtOnce) {
    AddRecords({m_recA});
    CKIVODialerCdrDlg& dlg = Open();
    m_mainWnd.AddRecord(u"0355555555", u"", kCdrModePlaced);
    ASSERT_EQ(Rows(dlg.m_list), 2);
    EXPECT_EQ(Cell(dlg.m_list, 0, 2), u"0355555555");
    Close(dlg);
    m_mainWnd.AddRecord(u"0366666666", u"", kCdrModeReceived);
    EXPECT_EQ(Cell(dlg.m_list, 0, 2), u"0366666666") << "hidden, it still follows";

    m_windows.DeleteTrayWindow(ETrayWindow::CallHistory);
    EXPECT_TRUE(m_mainWnd.m_listeners.empty());
    EXPECT_TRUE(m_mainWnd.AddRecord(u"0377777777", u"", kCdrModePlaced));
}

TEST_F(CdrDlg, TheReportListHasItsColumnsAndFillsTheWindow) {
    AddRecords({m_recA});
    CKIVODialerCdrDlg& dlg = Open();
    HWND hList = dlg.m_list;
    HWND hHeader = reinterpret_cast<HWND>(SendMessageW(hList, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0), 4);
    Cells titles;
    for (int i = 0; i < 4; ++i) {
        wchar_t sz[32] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT;
        col.pszText = sz;
        col.cchTextMax = 32;
        SendMessageW(hList, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
        titles.push_back(FromWide(sz));
    }
    EXPECT_EQ(titles, (Cells{u"種別", u"時間", u"番号", u"名前"}));
    auto measured = [&](const wchar_t* psz) {
        return static_cast<int>(SendMessageW(hList, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(psz)));
    };
    EXPECT_EQ(ColumnWidth(hList, 0), measured(L"発信XXX"));
    EXPECT_EQ(ColumnWidth(hList, 1), measured(L"0000/00/00X00:00:00XXX"));
    EXPECT_EQ(ColumnWidth(hList, 2), measured(L"00000000000XXX"));
    const int nFixed = ColumnWidth(hList, 0) + ColumnWidth(hList, 1) + ColumnWidth(hList, 2);
    const DWORD dwEx = static_cast<DWORD>(SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(dwEx & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP),
              DWORD(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP));
    EXPECT_FALSE(IsWindowEnabled(hHeader));

    // The list fills the window; with rows the last column takes the window's width less the others.
    auto listFillsClient = [&] {
        RECT client{}, list{};
        GetClientRect(dlg.GetSafeHwnd(), &client);
        GetWindowRect(hList, &list);
        MapWindowPoints(nullptr, dlg.GetSafeHwnd(), reinterpret_cast<POINT*>(&list), 2);
        return EqualRect(&client, &list) != FALSE;
    };
    EXPECT_TRUE(listFillsClient());
    const RECT rcWnd = WindowRect(dlg.GetSafeHwnd());
    EXPECT_EQ(ColumnWidth(hList, 3), rcWnd.right - rcWnd.left - nFixed - 20);

    // A size change gives it the client area's width less the others.
    SetWindowPos(dlg.GetSafeHwnd(), nullptr, 0, 0, rcWnd.right - rcWnd.left + 100,
                 rcWnd.bottom - rcWnd.top + 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(listFillsClient());
    RECT client{};
    GetClientRect(dlg.GetSafeHwnd(), &client);
    EXPECT_EQ(ColumnWidth(hList, 3), client.right - nFixed - 20);
}

TEST_F(CdrDlg, AnEmptyHistoryKeepsTheLastColumnAtItsNominalShare) {
    CKIVODialerCdrDlg dlg(m_app);
    ASSERT_TRUE(dlg.Create());
    const int nFixed = ColumnWidth(dlg.m_list, 0) + ColumnWidth(dlg.m_list, 1) + ColumnWidth(dlg.m_list, 2);
    EXPECT_EQ(Rows(dlg.m_list), 0);
    // Until the first size change, which the hidden window has not had.
    EXPECT_EQ(ColumnWidth(dlg.m_list, 3), 40 + 130 + 100 + 220 - nFixed);
}

TEST_F(CdrDlg, CtrlCCopiesTheSelectedRowTabJoinedAsUnicodeText) {
    AddRecords({m_recA, m_recB, m_recC});
    CKIVODialerCdrDlg& dlg = Open();
    wintest::SetClipboardUnicodeText(u"before");
    EXPECT_FALSE(CopyWithCtrlC(dlg, u"", 300)) << "nothing selected";
    EXPECT_EQ(wintest::ClipboardUnicodeText(), u"before");

    Select(dlg.m_list, 0);
    EXPECT_TRUE(CopyWithCtrlC(dlg, u"着信\t2024/01/31 10:00:00\t0333333333\t"));
    Select(dlg.m_list, -1);
    Select(dlg.m_list, 1);
    EXPECT_TRUE(CopyWithCtrlC(dlg, u"着信\t2024/01/30 09:00:00\t0322222222\t山田"));
    Select(dlg.m_list, -1);
    Select(dlg.m_list, 2);
    EXPECT_TRUE(CopyWithCtrlC(dlg, u"発信\t2024/01/30 08:00:00\t0311111111\t"));
}

TEST_F(CdrDlg, DoubleClickAsksAndCallsTheNumberBackUnchanged) {
    AddRecords({{u"03-1111-1111", u"", u"2024/01/30 08:00:00", 1}, m_recB});
    CKIVODialerCdrDlg& dlg = Open();

    m_fake.answers = {IDNO};
    Select(dlg.m_list, 1);
    DoubleClickRow(dlg.m_list, 1);
    ASSERT_EQ(m_fake.boxes.size(), 1u);
    EXPECT_EQ(m_fake.boxes[0].text, u"03-1111-1111\nに発信しますか？");
    EXPECT_EQ(m_fake.boxes[0].caption, u"確認");
    EXPECT_EQ(m_fake.boxes[0].type, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_EQ(m_pServer->LastRequest(), "");

    m_fake.answers = {IDYES};
    Select(dlg.m_list, -1);
    Select(dlg.m_list, 0);
    DoubleClickRow(dlg.m_list, 0);
    ASSERT_EQ(m_fake.boxes.size(), 3u);
    EXPECT_EQ(m_fake.boxes[1].text, u"0322222222(山田)\nに発信しますか？");
    EXPECT_EQ(LastDialNo(), "0322222222");
    EXPECT_EQ(m_fake.boxes[2].text, u"発信しました。しばらくお待ち下さい。");
    EXPECT_EQ(m_fake.boxes[2].caption, u"KIVODialer");
    EXPECT_EQ(m_fake.boxes[2].type & MB_ICONMASK, MB_ICONINFORMATION);

    UseReply("Call_NG");
    m_fake.answers = {IDYES};
    Select(dlg.m_list, -1);
    Select(dlg.m_list, 1);
    DoubleClickRow(dlg.m_list, 1);
    EXPECT_EQ(LastDialNo(), "03-1111-1111"); // neither trimmed nor filtered
    EXPECT_EQ(m_fake.boxes.back().type & MB_ICONMASK, MB_ICONEXCLAMATION);
    // A call back is recorded in neither history.
    EXPECT_EQ(m_mainWnd.m_records.size(), 2u);
    EXPECT_FALSE(m_profile.Has(kSectionDstNo, u"list1"));
}

// The question's box has no owner: while it is open a call comes in and the rows move down, and the user
// double-clicks the list again. The answer calls the row that was asked about, once.
TEST_F(CdrDlg, WhileTheQuestionIsOpenNeitherANewCallNorASecondDoubleClickChangesWhatIsCalled) {
    AddRecords({m_recA, m_recB});
    struct CWhileAsking : IMessageBox {
        IMessageBox& inner;
        wintest::CTestMainWnd& wnd;
        std::function<void()> alsoDoubleClick;
        CWhileAsking(IMessageBox& i, wintest::CTestMainWnd& w) : inner(i), wnd(w) {}
        int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) override {
            if (caption == u"確認") {
                wnd.AddRecord(u"0399999999", u"", kCdrModeReceived);
                alsoDoubleClick();
            }
            return inner.MessageBox(text, caption, nType);
        }
    } boxes(m_fake, m_mainWnd);
    CKIVODialerApp app(CPlatform{m_profile, m_http, m_fake, boxes, m_fake, m_fake, m_codePage, m_clock});
    app.m_strUser = m_app.m_strUser;
    app.m_strPass = m_app.m_strPass;
    app.m_strPBX = m_app.m_strPBX;
    app.m_pMainWnd = &m_mainWnd;
    m_fake.answers = {IDYES};
    CKIVODialerCdrDlg dlg(app);
    ASSERT_TRUE(dlg.Create());
    boxes.alsoDoubleClick = [&] {
        Select(dlg.m_list, 0);
        DoubleClickRow(dlg.m_list, 0);
    };
    Select(dlg.m_list, 0);
    DoubleClickRow(dlg.m_list, 0);
    EXPECT_EQ(Cell(dlg.m_list, 0, 2), u"0399999999");
    EXPECT_EQ(LastDialNo(), "0322222222");
    ASSERT_EQ(m_fake.boxes.size(), 2u); // one question, one reply
    EXPECT_EQ(m_fake.boxes[0].caption, u"確認");
    EXPECT_EQ(m_fake.boxes[1].caption, u"KIVODialer");
}

TEST_F(CdrDlg, TheSavedRectangleIsRestoredInsideTheScreenAndSavedWhenTheWindowGoes) {
    const int W = GetSystemMetrics(SM_CXSCREEN);
    StoreRect(W - 100, 100, W + 500, 400);
    {
        CKIVODialerCdrDlg dlg(m_app);
        ASSERT_TRUE(dlg.Create());
        EXPECT_TRUE(IsWindowVisible(dlg.GetSafeHwnd())); // restoring shows it
        const RECT rc = WindowRect(dlg.GetSafeHwnd());
        EXPECT_EQ(rc.left, W - 600);
        EXPECT_EQ(rc.top, 100);
        EXPECT_EQ(rc.right, W);
        EXPECT_EQ(rc.bottom, 400);
        SetWindowPos(dlg.GetSafeHwnd(), nullptr, W - 610, 120, 600, 300, SWP_NOZORDER);
        m_profile.m_nFlushes = 0;
    }
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"left", 0), W - 610);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"top", 0), 120);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"right", 0), W - 10);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"bottom", 0), 420);
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(CdrDlg, ARectangleWithAZeroLeavesTheWindowCentredAtItsTemplateSize) {
    StoreRect(0, 100, 600, 400);
    CKIVODialerCdrDlg dlg(m_app);
    ASSERT_TRUE(dlg.Create());
    EXPECT_FALSE(IsWindowVisible(dlg.GetSafeHwnd()));
    const RECT rc = WindowRect(dlg.GetSafeHwnd());
    EXPECT_NE(rc.right - rc.left, 600);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((rc.left + rc.right) / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs((rc.top + rc.bottom) / 2 - (work.top + work.bottom) / 2), 1);
}

// Closing only hides the window; the next opening shows it again with its rows, back on the screen and
// on top of the others.
TEST_F(CdrDlg, CloseAndEnterHideTheWindowAndItComesBackOnTheScreenOnTop) {
    AddRecords({m_recA});
    CKIVODialerCdrDlg& dlg = Open();
    HWND hWnd = dlg.GetSafeHwnd();
    Close(dlg);
    EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::CallHistory), ETrayWindowState::Closed);

    const int W = GetSystemMetrics(SM_CXSCREEN);
    const RECT before = WindowRect(hWnd);
    SetWindowPos(hWnd, nullptr, W - 50, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CKIVODialerCdrDlg& again = Open();
    EXPECT_EQ(&again, &dlg);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_EQ(Rows(dlg.m_list), 1);
    const RECT rc = WindowRect(hWnd);
    EXPECT_EQ(rc.right, W);
    EXPECT_EQ(rc.right - rc.left, before.right - before.left);
    EXPECT_EQ(rc.top, 30);
    EXPECT_NE(GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    SetForegroundWindow(hWnd);
    SetFocus(dlg.m_list);
    wintest::PressKeys({VK_RETURN});
    EXPECT_TRUE(wintest::PumpUntil(m_windows, [&] { return !IsWindowVisible(hWnd); }));
    EXPECT_EQ(m_app.m_pCdrDlg, &dlg);
}

// A number with a right-to-left override: the cell shows the override as "?", so the number reads as
// it will be dialled; calling back sends the number as it was received.
TEST_F(CdrDlg, InvisibleFormatCharactersShowAsQuestionMarks) {
    AddRecords({{u"\u202E0110-999-990", u"Bank\u200B", u"2024/01/31 10:00:00", 1}});
    CKIVODialerCdrDlg& dlg = Open();
    ASSERT_EQ(Rows(dlg.m_list), 1);
    EXPECT_EQ(Row(dlg.m_list, 0), (Cells{u"着信", u"2024/01/31 10:00:00", u"?0110-999-990", u"Bank?"}));
    m_fake.answers = {IDYES};
    Select(dlg.m_list, 0);
    DoubleClickRow(dlg.m_list, 0);
    ASSERT_FALSE(m_fake.boxes.empty());
    EXPECT_EQ(m_fake.boxes[0].text, u"?0110-999-990(Bank?)\nに発信しますか？");
    EXPECT_EQ(LastDialNo(), "%E2%80%AE0110-999-990");
}
