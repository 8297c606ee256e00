#include "resources/DialogTemplates.h"

#include "platform/IMessageBox.h"
#include "resources/ResourceIds.h"

namespace {

constexpr unsigned kEditStyle = kCtlBorder | kCtlTabStop | kCtlAutoHScroll;

// The product line and the version line are filled in when the box opens.
constexpr CDialogControl kAboutControls[] = {
    {IDC_STATIC, EControlKind::Icon, u"", 14, 14, 21, 20, 0, IDR_MAINFRAME},
    {IDC_PRODUCT, EControlKind::Static, u"", 42, 14, 180, 8, kCtlNoPrefix},
    {IDC_VERSION, EControlKind::Static, u"", 42, 26, 180, 8, kCtlNoPrefix},
    {IDC_STATIC, EControlKind::Static, u"Copyright (C) Selvane-Works", 42, 38, 180, 8, kCtlNoPrefix},
    {IDC_STATIC, EControlKind::EtchedHorz, u"", 7, 52, 221, 1},
    {IDOK, EControlKind::DefPushButton, u"OK", 178, 58, 50, 14, kCtlTabStop},
};

constexpr CDialogControl kDialControls[] = {
    {IDC_STATIC, EControlKind::Static, u"発信元", 12, 9, 22, 8},
    {IDC_SRC, EControlKind::Static, u"", 49, 9, 148, 8, kCtlNoPrefix},
    {IDC_STATIC, EControlKind::Static, u"発信先(&D)", 12, 24, 31, 8},
    {IDC_DST, EControlKind::ComboDropDown, u"", 47, 21, 150, 66, kCtlVScroll | kCtlTabStop},
    {IDOK, EControlKind::DefPushButton, u"ダイヤル", 205, 7, 42, 18, kCtlTabStop},
    {IDCANCEL, EControlKind::PushButton, u"閉じる", 205, 29, 42, 18, kCtlTabStop},
};

constexpr CDialogControl kConfigControls[] = {
    {IDC_GROUP_CONNECT, EControlKind::GroupBox, u"接続情報", 5, 5, 225, 81},
    {IDC_LABEL_USER, EControlKind::Static, u"アカウント(&A)", 15, 20, 35, 8},
    {IDC_USER, EControlKind::Edit, u"", 70, 17, 55, 14, kEditStyle},
    {IDC_LABEL_PASS, EControlKind::Static, u"パスワード(&P)", 15, 35, 36, 8},
    {IDC_PASS, EControlKind::Edit, u"", 70, 33, 55, 14, kEditStyle | kCtlPassword},
    {IDC_LABEL_PORT, EControlKind::Static, u"ポート番号(&R)", 15, 52, 40, 8},
    {IDC_PORTNUM, EControlKind::Edit, u"", 70, 49, 54, 14, kEditStyle},
    {IDC_LABEL_CBTIME, EControlKind::Static, u"呼び出し時間(&B)", 131, 52, 48, 8},
    {IDC_CBTIME, EControlKind::Edit, u"", 183, 49, 16, 14, kEditStyle},
    {IDC_LABEL_SECONDS, EControlKind::Static, u"秒(5-20)", 201, 52, 26, 8},
    {IDC_LABEL_PBX, EControlKind::Static, u"KIVO-PBX(&M)", 15, 67, 46, 8},
    {IDC_PBX, EControlKind::Edit, u"", 70, 65, 155, 14, kEditStyle},
    {IDC_GROUP_OPTION, EControlKind::GroupBox, u"オプション", 5, 93, 225, 29},
    {IDC_STATIC, EControlKind::Static, u"トレイアイコンのダブルクリック(&D)", 14, 106, 84, 8},
    {IDC_DBLCLK, EControlKind::ComboDropList, u"", 104, 104, 118, 72, kCtlVScroll | kCtlTabStop},
    {IDOK, EControlKind::DefPushButton, u"OK", 235, 10, 50, 15, kCtlTabStop},
    {IDCANCEL, EControlKind::PushButton, u"キャンセル", 235, 30, 50, 15, kCtlTabStop},
};

constexpr CDialogControl kCdrControls[] = {
    {IDC_CDR_LIST, EControlKind::ListView, u"", 1, 0, 345, 110,
     kCtlReport | kCtlSingleSel | kCtlShowSelAlways | kCtlNoSortHeader | kCtlBorder | kCtlTabStop},
};

constexpr CAccelEntry kAccelCdr[] = {
    {u'C', true, ID_CDR_COPY},
};

} // namespace

const CDialogTemplate g_dlgAbout = {
    IDD_ABOUTBOX,
    u"バージョン情報",
    u"MS UI Gothic",
    9,
    235,
    79,
    kDlgPopup | kDlgCaption | kDlgSysMenu | kDlgModalFrame | kDlgCenter,
    kAboutControls,
};

const CDialogTemplate g_dlgDial = {
    IDD_KIVODIALER_DIALOG,
    u"KIVODialer",
    u"MS UI Gothic",
    9,
    254,
    61,
    kDlgPopup | kDlgCaption | kDlgSysMenu | kDlgModalFrame | kDlgVisible | kDlgCenter | kDlgAppWindow,
    kDialControls,
};

// The height is the one the dialog sets for itself when it opens: 129 units below the client area's top.
const CDialogTemplate g_dlgConfig = {
    IDD_CONFIG,
    u"環境設定",
    u"MS UI Gothic",
    9,
    291,
    129,
    kDlgPopup | kDlgCaption | kDlgSysMenu | kDlgModalFrame,
    kConfigControls,
};

const CDialogTemplate g_dlgCdr = {
    IDD_CDR,
    u"発着信履歴",
    u"MS Shell Dlg",
    8,
    346,
    110,
    kDlgPopup | kDlgCaption | kDlgSysMenu | kDlgThickFrame | kDlgCenter,
    kCdrControls,
};

const std::span<const CAccelEntry> g_accelCdr = kAccelCdr;

const CDialogTemplate* FindDialogTemplate(int nId) {
    for (const CDialogTemplate* p : {&g_dlgAbout, &g_dlgDial, &g_dlgConfig, &g_dlgCdr})
        if (p->nId == nId)
            return p;
    return nullptr;
}
