// The about box run modally as the tray's about command runs it: product line, the version line from
// this program's version resource, the maker line and the OK button.
#include "platform/win32/ui/AboutDlg.h"
#include "app/AboutVersion.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"
#include "tray/WindowRules.h"

using AboutDlg = wintest::WinUiTest;

TEST_F(AboutDlg, ShowsProductEditionAndTheVersionWithoutItsLastNumber) {
    m_app.m_strEdition = u"Standard";
    std::vector<std::u16string> texts;
    wintest::CModalScript script({[&] {
        HWND hDlg = wintest::FindDialog(u"バージョン情報");
        if (!hDlg)
            return false;
        for (HWND h = GetWindow(hDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            texts.push_back(GetWindowU16Text(h));
        EXPECT_EQ(GetWindowU16Text(GetDlgItem(hDlg, IDC_PRODUCT)), u"KIVODialer Standard");
        // This test program carries the same version resource as KIVODialer.exe: 1.0.0.1 shows as 1.0.0.
        EXPECT_EQ(GetWindowU16Text(GetDlgItem(hDlg, IDC_VERSION)), AboutVersionLine(u"" KIVO_VERSION));
        EXPECT_EQ(GetWindowU16Text(GetDlgItem(hDlg, IDC_VERSION)).rfind(u"Version ", 0), 0u);
        EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::About), ETrayWindowState::Open);
        SendMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
        return true;
    }});
    EXPECT_TRUE(script.Run([&] { return m_windows.RunModal(ETrayWindow::About); }));
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"Copyright (C) Selvane-Works"), texts.end());
    EXPECT_EQ(m_windows.GetWindowState(ETrayWindow::About), ETrayWindowState::None);
}
