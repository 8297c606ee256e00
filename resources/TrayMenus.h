// The two tray menus: command ids and captions in position order.
#pragma once

#include "resources/ResourceIds.h"

#include <string_view>

struct CMenuItemRes {
    int nId;
    std::u16string_view strCaption;
};

// Menu 129, "トレイ左クリック": shown 200 ms after a single left click.
inline constexpr std::u16string_view kMenuTrayLeftName = u"トレイ左クリック";
inline constexpr CMenuItemRes kMenuTrayLeft[] = {
    {ID_DIAL, u"ダイヤル(&D)"},
    {ID_CALL_HISTORY, u"発着信履歴(&C)"},
    {ID_PBX_MANAGER, u"KIVO-PBX Manager(&M)"},
    {ID_PBX_ADDRBOOK, u"PBXのアドレス帳を開く(&O)"},
    {ID_PBX_CDR, u"PBXの通話履歴を開く(&R)"},
};

// Menu 130, "トレイ右クリック": shown at once on a right click.
inline constexpr std::u16string_view kMenuTrayRightName = u"トレイ右クリック";
inline constexpr CMenuItemRes kMenuTrayRight[] = {
    {ID_SETTINGS, u"環境設定(&S)"},
    {ID_APP_ABOUT, u"バージョン情報(&A)"},
    {ID_APP_EXIT, u"終了(&X)"},
};

// The command a double click on the tray icon runs, by the "DblClk" setting.
constexpr int DoubleClickCommand(int nDblClk) {
    switch (nDblClk) {
    case 1:
        return ID_CALL_HISTORY;
    case 2:
        return ID_PBX_MANAGER;
    case 3:
        return ID_PBX_ADDRBOOK;
    case 4:
        return ID_PBX_CDR;
    default:
        return ID_DIAL;
    }
}
