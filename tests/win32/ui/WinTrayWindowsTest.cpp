// The windows as the tray controller's rules open them, and the keys of the modeless windows while a
// modal dialog runs its own loop.
#include "platform/win32/ui/KIVODialerCdrDlg.h"
#include "platform/win32/ui/KIVODialerDlg.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"
#include "tray/WindowRules.h"
#include "ui/CdrWindowRect.h"

using TrayWindows = wintest::WinUiTest;

// An open dial dialog comes to the front as it is; a closed one gives way to a new one, which reads
// the history again.
TEST_F(TrayWindows, AClosedDialDialogIsReplacedAnOpenOneKept) {
    OpenWindowOnce(m_windows, ETrayWindow::Dial);
    ASSERT_NE(m_app.m_pDialDlg, nullptr);
    HWND hFirst = m_app.m_pDialDlg->GetSafeHwnd();
    SetWindowU16Text(m_app.m_pDialDlg->m_cbDst, u"typed");
    OpenWindowOnce(m_windows, ETrayWindow::Dial);
    EXPECT_EQ(m_app.m_pDialDlg->GetSafeHwnd(), hFirst);
    EXPECT_EQ(GetWindowU16Text(m_app.m_pDialDlg->m_cbDst), u"typed");
    EXPECT_EQ(GetForegroundWindow(), hFirst);

    SendMessageW(hFirst, WM_CLOSE, 0, 0); // taken as Cancel, posted
    EXPECT_TRUE(wintest::PumpUntil(m_windows, [&] { return !IsWindowVisible(hFirst); }));
    EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::Dial), ETrayWindowState::Closed);
    m_profile.WriteProfileString(u"DstNo", u"list1", u"0311112222");
    OpenWindowOnce(m_windows, ETrayWindow::Dial);
    EXPECT_FALSE(IsWindow(hFirst));
    EXPECT_TRUE(IsWindowVisible(m_app.m_pDialDlg->GetSafeHwnd()));
    EXPECT_EQ(GetWindowU16Text(m_app.m_pDialDlg->m_cbDst), u"0311112222");
}

TEST_F(TrayWindows, AtTheProgramsEndTheCallingWindowsGoAndTheHistoryWindowKeepsItsPlace) {
    OpenWindowOnce(m_windows, ETrayWindow::Dial);
    OpenWindowOnce(m_windows, ETrayWindow::CallHistory);
    ASSERT_NE(m_app.m_pCdrDlg, nullptr);
    HWND hDial = m_app.m_pDialDlg->GetSafeHwnd();
    HWND hCdr = m_app.m_pCdrDlg->GetSafeHwnd();
    SetWindowPos(hCdr, nullptr, 111, 122, 500, 300, SWP_NOZORDER);
    DestroyCallingWindows(m_app);
    EXPECT_EQ(m_app.m_pDialDlg, nullptr);
    EXPECT_EQ(m_app.m_pCdrDlg, nullptr);
    EXPECT_FALSE(IsWindow(hDial));
    EXPECT_FALSE(IsWindow(hCdr));
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"left", 0), 111);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"bottom", 0), 422);
}

// The about box's loop is not the program's: its message filter still hands the keys of the call
// history window and the dial dialog to them.
TEST_F(TrayWindows, CtrlCAndTabWorkInTheModelessWindowsWhileAModalDialogRuns) {
    m_mainWnd.m_records.push_back({u"0311111111", u"", u"2024/01/30 08:00:00", 0});
    OpenWindowOnce(m_windows, ETrayWindow::CallHistory);
    OpenWindowOnce(m_windows, ETrayWindow::Dial);
    CKIVODialerCdrDlg& cdr = *m_app.m_pCdrDlg;
    CKIVODialerDlg& dial = *m_app.m_pDialDlg;
    wintest::SetClipboardUnicodeText(u"before");
    HWND hAbout = nullptr;
    wintest::CModalScript script({
        [&] { return (hAbout = wintest::FindDialog(u"バージョン情報")) != nullptr; },
        [&] {
            SetForegroundWindow(cdr.GetSafeHwnd());
            SetFocus(cdr.m_list);
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(cdr.m_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            wintest::PressKeys({VK_CONTROL, 'C'});
            return true;
        },
        [&] { return wintest::ClipboardUnicodeText() == u"発信\t2024/01/30 08:00:00\t0311111111\t"; },
        [&] {
            SetForegroundWindow(dial.GetSafeHwnd());
            SetFocus(dial.m_cbDst);
            wintest::PressKeys({VK_TAB});
            return true;
        },
        [&] { return GetFocus() == dial.GetDlgItem(IDOK); },
        [&] {
            SendMessageW(GetDlgItem(hAbout, IDOK), BM_CLICK, 0, 0);
            return true;
        },
    });
    EXPECT_TRUE(script.Run([&] { return RunModalOnce(m_windows, ETrayWindow::About); }));
}
