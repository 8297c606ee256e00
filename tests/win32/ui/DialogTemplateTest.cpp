// The four templates as real dialogs: the controls in template order with their ids and classes, at the
// rectangles their dialog units give in the dialog's font, every caption fitting its control, nothing
// overlapping, and the dialog's own styles.
#include "platform/win32/ui/DialogCaptionFit.h"
#include "platform/win32/ui/DialogTemplateBuilder.h"
#include "platform/win32/ui/WinDialog.h"
#include "resources/ResourceIds.h"
#include "tests/win32/ui/WinUiFixture.h"

#include <cwctype>

namespace {

// A template's dialog with no behaviour of its own, made modeless.
class CPlainDialog : public CWinDialog {
public:
    using CWinDialog::CWinDialog;
};

class DialogTemplate : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        InitCommonControls();
        m_pDlg = std::make_unique<CPlainDialog>(Template());
        ASSERT_TRUE(m_pDlg->Create());
    }
    const CDialogTemplate& Template() const { return *FindDialogTemplate(GetParam()); }
    HWND Dlg() const { return m_pDlg->GetSafeHwnd(); }
    // The template's rectangle in pixels as the dialog manager maps it with the dialog's font: the
    // position and the size each on their own.
    RECT Mapped(int x, int y, int cx, int cy) const {
        const int nScale = m_pDlg->ScalePercent();
        const int nLeft = MulDiv(x, nScale, 100);
        RECT rc{nLeft, y, MulDiv(x + cx, nScale, 100) - nLeft, cy};
        MapDialogRect(Dlg(), &rc);
        return {rc.left, rc.top, rc.left + rc.right, rc.top + rc.bottom};
    }
    RECT ChildRect(HWND hChild) const {
        RECT rc{};
        GetWindowRect(hChild, &rc);
        MapWindowPoints(nullptr, Dlg(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND h = GetWindow(Dlg(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            children.push_back(h);
        return children;
    }

    std::unique_ptr<CPlainDialog> m_pDlg;
};

std::u16string ClassName(HWND hWnd) {
    wchar_t sz[64] = {};
    GetClassNameW(hWnd, sz, 64);
    std::u16string name = FromWide(sz);
    for (char16_t& ch : name)
        ch = static_cast<char16_t>(std::towupper(ch));
    return name;
}

std::u16string Upper(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& ch : out)
        ch = static_cast<char16_t>(std::towupper(ch));
    return out;
}

bool Intersect(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

std::string Name(const CDialogControl& ctl) {
    return std::to_string(ctl.nId) + " " + U16ToUtf8(ctl.strCaption);
}

} // namespace

TEST_P(DialogTemplate, ControlsSitWhereTheirDialogUnitsPutThemInTheDialogFont) {
    const CDialogTemplate& tpl = Template();
    EXPECT_EQ(GetWindowU16Text(Dlg()), tpl.strCaption);
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Dlg(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_EQ(FromWide(lf.lfFaceName), tpl.strFontFace);

    RECT client{};
    GetClientRect(Dlg(), &client);
    const RECT expectedClient = Mapped(0, 0, tpl.cx, tpl.cy);
    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);

    const std::vector<HWND> children = Children();
    ASSERT_EQ(children.size(), tpl.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
        const CDialogControl& ctl = tpl.controls[i];
        SCOPED_TRACE(Name(ctl));
        HWND hChild = children[i];
        EXPECT_EQ(GetDlgCtrlID(hChild), ctl.nId);
        EXPECT_EQ(ClassName(hChild), Upper(CDialogTemplateBuilder::ControlClass(ctl.eKind)));
        const RECT want = Mapped(ctl.x, ctl.y, ctl.cx, ctl.cy);
        const RECT have = ChildRect(hChild);
        EXPECT_EQ(have.left, want.left);
        EXPECT_EQ(have.top, want.top);
        // A combo box is as high as its edit field while closed, an icon as large as its image; Wine
        // widens an etched line by its static edge.
        if (ctl.eKind != EControlKind::Icon && ctl.eKind != EControlKind::EtchedHorz) {
            EXPECT_EQ(have.right, want.right);
            if (ctl.eKind != EControlKind::ComboDropDown && ctl.eKind != EControlKind::ComboDropList) {
                EXPECT_EQ(have.bottom, want.bottom);
            }
        }
        // Rounding position and size on their own may put the far edge one pixel past the client area.
        EXPECT_LE(have.right, client.right + 1);
        EXPECT_LE(have.bottom, client.bottom + 1);
    }
}

TEST_P(DialogTemplate, EveryCaptionFitsItsControlAndNothingOverlaps) {
    const CDialogTemplate& tpl = Template();
    const std::vector<HWND> children = Children();
    ASSERT_EQ(children.size(), tpl.controls.size());
    HDC hdc = GetDC(Dlg());
    HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageW(Dlg(), WM_GETFONT, 0, 0)));
    for (size_t i = 0; i < children.size(); ++i) {
        const CDialogControl& ctl = tpl.controls[i];
        SCOPED_TRACE(Name(ctl));
        const RECT rc = ChildRect(children[i]);
        if (!ctl.strCaption.empty() && ctl.eKind != EControlKind::Icon) {
            EXPECT_EQ(GetWindowU16Text(children[i]), ctl.strCaption);
            const std::wstring strShown = ToWide((ctl.nStyle & kCtlNoPrefix) ? std::u16string(ctl.strCaption)
                                                                             : StripMnemonic(ctl.strCaption));
            SIZE size{};
            GetTextExtentPoint32W(hdc, strShown.c_str(), static_cast<int>(strShown.size()), &size);
            EXPECT_GE(rc.right - rc.left, size.cx + CaptionPadding(ctl.eKind));
            if (ctl.eKind == EControlKind::Static) {
                EXPECT_GE(rc.bottom - rc.top, size.cy);
            }
        }
        if (ctl.eKind == EControlKind::GroupBox)
            continue;
        for (size_t j = i + 1; j < children.size(); ++j) {
            if (tpl.controls[j].eKind != EControlKind::GroupBox) {
                EXPECT_FALSE(Intersect(rc, ChildRect(children[j]))) << "overlaps " << Name(tpl.controls[j]);
            }
        }
    }
    SelectObject(hdc, hOld);
    ReleaseDC(Dlg(), hdc);
}

TEST_P(DialogTemplate, DialogStylesAndPlace) {
    const CDialogTemplate& tpl = Template();
    const LONG_PTR style = GetWindowLongPtrW(Dlg(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(Dlg(), GWL_EXSTYLE);
    // Only the dial dialog shows itself and has a taskbar button; only the call history window resizes.
    EXPECT_EQ(IsWindowVisible(Dlg()) != FALSE, tpl.nId == IDD_KIVODIALER_DIALOG);
    EXPECT_EQ((exStyle & WS_EX_APPWINDOW) != 0, tpl.nId == IDD_KIVODIALER_DIALOG);
    EXPECT_EQ((style & WS_THICKFRAME) != 0, tpl.nId == IDD_CDR);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(GetParent(Dlg()), nullptr);
    if (tpl.nStyle & kDlgCenter) {
        RECT work{}, rc{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(Dlg(), &rc);
        EXPECT_LE(std::abs((rc.left + rc.right) / 2 - (work.left + work.right) / 2), 1);
        EXPECT_LE(std::abs((rc.top + rc.bottom) / 2 - (work.top + work.bottom) / 2), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplate,
                         ::testing::Values(IDD_ABOUTBOX, IDD_KIVODIALER_DIALOG, IDD_CONFIG, IDD_CDR),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param);
                         });

// What the controls do follows from their styles: the password is hidden, the destination can be
// typed and scrolls past the box's width, the double-click action can only be chosen, Enter presses
// the default button, and the list is a single-selection report.
TEST(DialogControls, StylesThatMakeTheControlsBehave) {
    InitCommonControls();
    struct Case {
        const CDialogTemplate& tpl;
        int nId;
        LONG_PTR nStyle;
        LONG_PTR nMask;
    } cases[] = {
        {g_dlgConfig, IDC_PASS, ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP,
         ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP},
        {g_dlgConfig, IDC_USER, ES_AUTOHSCROLL | WS_TABSTOP, ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP},
        {g_dlgConfig, IDC_DBLCLK, CBS_DROPDOWNLIST, 0x3},
        {g_dlgConfig, IDOK, BS_DEFPUSHBUTTON, 0xF},
        {g_dlgConfig, IDCANCEL, BS_PUSHBUTTON, 0xF},
        {g_dlgDial, IDC_DST, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP,
         0x3 | CBS_AUTOHSCROLL | CBS_SORT | WS_TABSTOP},
        {g_dlgDial, IDC_SRC, SS_NOPREFIX, SS_NOPREFIX},
        {g_dlgCdr, IDC_CDR_LIST, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
         LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tpl.nId) + "/" + std::to_string(c.nId));
        CPlainDialog dlg(c.tpl);
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(GetWindowLongPtrW(dlg.GetDlgItem(c.nId), GWL_STYLE) & c.nMask, c.nStyle);
    }
}

// Before the program carries its icon the about box's icon control stays empty; once it does, the icon
// shows there.
TEST(DialogControls, TheAboutBoxShowsTheProgramsIconWhenItHasOne) {
    CPlainDialog dlg(g_dlgAbout);
    ASSERT_TRUE(dlg.Create());
    HWND hIcon = GetWindow(dlg.GetSafeHwnd(), GW_CHILD);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hIcon, GWL_STYLE) & SS_TYPEMASK, SS_ICON);
    const bool bHasIcon =
        FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON) != nullptr;
    EXPECT_EQ(SendMessageW(hIcon, STM_GETICON, 0, 0) != 0, bHasIcon);
}
