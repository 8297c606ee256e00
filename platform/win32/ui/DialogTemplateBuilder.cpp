#include "platform/win32/ui/DialogTemplateBuilder.h"

namespace {

// Kinds the dialog manager may move the focus to with Tab.
bool TakesFocus(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::Edit:
    case EControlKind::ComboDropDown:
    case EControlKind::ComboDropList:
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
    case EControlKind::ListView:
        return true;
    default:
        return false;
    }
}

} // namespace

CDialogTemplateBuilder::CDialogTemplateBuilder(const CDialogTemplate& tpl, HINSTANCE hInstance,
                                               int nScalePercent)
    : m_nScalePercent(nScalePercent) {
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count,
    // position and size, no menu, the dialog class, the caption, then the font as DS_SETFONT asks.
    Word(1);
    Word(0xFFFF);
    DWord(0);
    DWord(DialogExStyle(tpl.nStyle));
    DWord(DialogStyle(tpl.nStyle));
    Word(static_cast<WORD>(tpl.controls.size()));
    Word(0);
    Word(0);
    Word(static_cast<WORD>(ScaleX(tpl.cx)));
    Word(static_cast<WORD>(tpl.cy));
    Word(0); // menu
    Word(0); // class
    Text(tpl.strCaption);
    Word(static_cast<WORD>(tpl.nPointSize));
    Word(FW_NORMAL);
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET)); // italic, charset
    Text(tpl.strFontFace);
    for (const CDialogControl& ctl : tpl.controls)
        Control(ctl, hInstance);
}

void CDialogTemplateBuilder::DWord(DWORD dw) {
    Word(LOWORD(dw));
    Word(HIWORD(dw));
}

void CDialogTemplateBuilder::Text(std::u16string_view text) {
    for (char16_t ch : text)
        Word(ch);
    Word(0);
}

void CDialogTemplateBuilder::AlignToDWord() {
    if (m_words.size() % 2 != 0)
        Word(0);
}

int CDialogTemplateBuilder::ScaleX(int nUnits) const {
    return MulDiv(nUnits, m_nScalePercent, 100);
}

void CDialogTemplateBuilder::Control(const CDialogControl& ctl, HINSTANCE hInstance) {
    // DLGITEMTEMPLATEEX: help id, extended style, style, position and size, a 32-bit id, the class,
    // the caption (text, or an ordinal for an icon), no creation data.
    AlignToDWord();
    DWord(0);
    DWord(0);
    DWord(ControlStyle(ctl));
    const int nLeft = ScaleX(ctl.x);
    Word(static_cast<WORD>(nLeft));
    Word(static_cast<WORD>(ctl.y));
    Word(static_cast<WORD>(ScaleX(ctl.x + ctl.cx) - nLeft));
    Word(static_cast<WORD>(ctl.cy));
    DWord(static_cast<DWORD>(ctl.nId));
    Text(ControlClass(ctl.eKind));
    if (ctl.eKind == EControlKind::Icon && ctl.nImage != 0 &&
        FindResourceW(hInstance, MAKEINTRESOURCEW(ctl.nImage), RT_GROUP_ICON)) {
        Word(0xFFFF);
        Word(static_cast<WORD>(ctl.nImage));
    } else {
        Text(ctl.strCaption);
    }
    Word(0);
}

DWORD CDialogTemplateBuilder::DialogStyle(unsigned nStyle) {
    DWORD dwStyle = DS_SETFONT;
    if (nStyle & kDlgPopup)
        dwStyle |= WS_POPUP;
    if (nStyle & kDlgCaption)
        dwStyle |= WS_CAPTION;
    if (nStyle & kDlgSysMenu)
        dwStyle |= WS_SYSMENU;
    if (nStyle & kDlgModalFrame)
        dwStyle |= DS_MODALFRAME;
    if (nStyle & kDlgThickFrame)
        dwStyle |= WS_THICKFRAME;
    if (nStyle & kDlgVisible)
        dwStyle |= WS_VISIBLE;
    if (nStyle & kDlgCenter)
        dwStyle |= DS_CENTER;
    return dwStyle;
}

DWORD CDialogTemplateBuilder::DialogExStyle(unsigned nStyle) {
    return (nStyle & kDlgAppWindow) ? WS_EX_APPWINDOW : 0;
}

DWORD CDialogTemplateBuilder::ControlStyle(const CDialogControl& ctl) {
    DWORD dwStyle = WS_CHILD | WS_VISIBLE;
    if ((ctl.nStyle & kCtlTabStop) && TakesFocus(ctl.eKind))
        dwStyle |= WS_TABSTOP;
    if (ctl.nStyle & kCtlBorder)
        dwStyle |= WS_BORDER;
    if (ctl.nStyle & kCtlVScroll)
        dwStyle |= WS_VSCROLL;
    switch (ctl.eKind) {
    case EControlKind::Static:
        dwStyle |= SS_LEFT | WS_GROUP;
        if (ctl.nStyle & kCtlNoPrefix)
            dwStyle |= SS_NOPREFIX;
        break;
    case EControlKind::Icon:
        dwStyle |= SS_ICON;
        break;
    case EControlKind::EtchedHorz:
        dwStyle |= SS_ETCHEDHORZ;
        break;
    case EControlKind::GroupBox:
        dwStyle |= BS_GROUPBOX;
        break;
    case EControlKind::Edit:
        dwStyle |= ES_LEFT;
        if (ctl.nStyle & kCtlAutoHScroll)
            dwStyle |= ES_AUTOHSCROLL;
        if (ctl.nStyle & kCtlPassword)
            dwStyle |= ES_PASSWORD;
        break;
    case EControlKind::ComboDropDown:
        // Without automatic scrolling the edit field would refuse every key once it is full, and a
        // number longer than the box could not be typed.
        dwStyle |= CBS_DROPDOWN | CBS_AUTOHSCROLL;
        break;
    case EControlKind::ComboDropList:
        dwStyle |= CBS_DROPDOWNLIST;
        break;
    case EControlKind::PushButton:
        dwStyle |= BS_PUSHBUTTON;
        break;
    case EControlKind::DefPushButton:
        dwStyle |= BS_DEFPUSHBUTTON;
        break;
    case EControlKind::ListView:
        if (ctl.nStyle & kCtlReport)
            dwStyle |= LVS_REPORT;
        if (ctl.nStyle & kCtlSingleSel)
            dwStyle |= LVS_SINGLESEL;
        if (ctl.nStyle & kCtlShowSelAlways)
            dwStyle |= LVS_SHOWSELALWAYS;
        if (ctl.nStyle & kCtlNoSortHeader)
            dwStyle |= LVS_NOSORTHEADER;
        break;
    }
    return dwStyle;
}

std::u16string_view CDialogTemplateBuilder::ControlClass(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::Static:
    case EControlKind::Icon:
    case EControlKind::EtchedHorz:
        return u"STATIC";
    case EControlKind::GroupBox:
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
        return u"BUTTON";
    case EControlKind::Edit:
        return u"EDIT";
    case EControlKind::ComboDropDown:
    case EControlKind::ComboDropList:
        return u"COMBOBOX";
    case EControlKind::ListView:
        return u"SysListView32";
    }
    return u"STATIC";
}
