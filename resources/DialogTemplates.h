// Dialog templates as data: caption, font, size and style of each dialog, and its controls in tab order
// with ids, kinds, captions, style notes and positions in dialog units. The accelerator table of the call
// history window sits beside them.
#pragma once

#include <span>
#include <string_view>

enum class EControlKind {
    Static,        // LTEXT
    Icon,          // ICON: an image resource at its natural size
    EtchedHorz,    // SS_ETCHEDHORZ separator
    GroupBox,      // GROUPBOX: a frame with a title, drawn behind its neighbours
    Edit,          // EDITTEXT
    ComboDropDown, // CBS_DROPDOWN: editable
    ComboDropList, // CBS_DROPDOWNLIST: choose only
    PushButton,    // PUSHBUTTON
    DefPushButton, // DEFPUSHBUTTON
    ListView,      // SysListView32
};

// Style notes of a control; the comment names the Windows style each one stands for.
enum EControlStyle : unsigned {
    kCtlTabStop = 1u << 0,       // WS_TABSTOP
    kCtlBorder = 1u << 1,        // WS_BORDER
    kCtlAutoHScroll = 1u << 2,   // ES_AUTOHSCROLL
    kCtlPassword = 1u << 3,      // ES_PASSWORD
    kCtlVScroll = 1u << 4,       // WS_VSCROLL
    kCtlNoPrefix = 1u << 5,      // SS_NOPREFIX: "&" is shown as it is
    kCtlReport = 1u << 6,        // LVS_REPORT
    kCtlSingleSel = 1u << 7,     // LVS_SINGLESEL
    kCtlShowSelAlways = 1u << 8, // LVS_SHOWSELALWAYS
    kCtlNoSortHeader = 1u << 9,  // LVS_NOSORTHEADER
};

// Style notes of a dialog.
enum EDialogStyle : unsigned {
    kDlgPopup = 1u << 0,      // WS_POPUP
    kDlgCaption = 1u << 1,    // WS_CAPTION
    kDlgSysMenu = 1u << 2,    // WS_SYSMENU: a close box
    kDlgModalFrame = 1u << 3, // DS_MODALFRAME: fixed size
    kDlgThickFrame = 1u << 4, // WS_THICKFRAME: resizable
    kDlgVisible = 1u << 5,    // WS_VISIBLE: shown when created
    kDlgCenter = 1u << 6,     // DS_CENTER: centred on the screen's work area
    kDlgAppWindow = 1u << 7,  // WS_EX_APPWINDOW: its own taskbar button
};

struct CDialogControl {
    int nId;
    EControlKind eKind;
    std::u16string_view strCaption;
    int x, y, cx, cy; // dialog units
    unsigned nStyle = 0;
    int nImage = 0; // icon resource of an Icon control
};

struct CDialogTemplate {
    int nId;
    std::u16string_view strCaption;
    std::u16string_view strFontFace;
    int nPointSize;
    int cx, cy; // client area, dialog units
    unsigned nStyle;
    std::span<const CDialogControl> controls;
};

extern const CDialogTemplate g_dlgAbout;  // 101
extern const CDialogTemplate g_dlgDial;   // 102
extern const CDialogTemplate g_dlgConfig; // 132
extern const CDialogTemplate g_dlgCdr;    // 133

// The template with this id, or null.
const CDialogTemplate* FindDialogTemplate(int nId);

// One entry of an accelerator table: a key with Ctrl that sends a command.
struct CAccelEntry {
    char16_t chKey; // upper-case letter
    bool bControl;
    int nCommand;
};

extern const std::span<const CAccelEntry> g_accelCdr; // 136: Ctrl+C copies the selected row
