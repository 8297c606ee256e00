// Resource and command ids: dialog templates, menus, commands, icons, accelerators, controls.
#pragma once

// Dialog templates
constexpr int IDD_ABOUTBOX = 101;
constexpr int IDD_KIVODIALER_DIALOG = 102; // dial dialog
constexpr int IDD_CONFIG = 132;            // settings
constexpr int IDD_CDR = 133;               // call history window

// Icons
constexpr int IDR_MAINFRAME = 128; // the logo in colour: logged in
constexpr int IDI_LOGOUT = 135;    // the logo in grey: not logged in

// Menus and accelerators
constexpr int IDR_MENU_TRAY_LEFT = 129;  // "トレイ左クリック"
constexpr int IDR_MENU_TRAY_RIGHT = 130; // "トレイ右クリック"
constexpr int IDR_ACCEL_CDR = 136;       // Ctrl+C in the call history window

// Commands
constexpr int ID_DIAL = 32772;
constexpr int ID_CALL_HISTORY = 32776;
constexpr int ID_SETTINGS = 32779;
constexpr int ID_PBX_MANAGER = 32781;
constexpr int ID_CDR_COPY = 32782;
constexpr int ID_PBX_ADDRBOOK = 32788;
constexpr int ID_PBX_CDR = 32801;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;

// Controls
constexpr int IDC_DST = 1001;
constexpr int IDC_USER = 1004;
constexpr int IDC_PASS = 1005;
constexpr int IDC_PBX = 1006;
constexpr int IDC_SRC = 1012;
constexpr int IDC_PRODUCT = 1013;
constexpr int IDC_CBTIME = 1014;
constexpr int IDC_PORTNUM = 1015;
constexpr int IDC_CDR_LIST = 1016;
constexpr int IDC_DBLCLK = 1017;
constexpr int IDC_GROUP_OPTION = 1023;
constexpr int IDC_GROUP_CONNECT = 1025;
constexpr int IDC_LABEL_USER = 1026;
constexpr int IDC_LABEL_PASS = 1027;
constexpr int IDC_LABEL_PORT = 1028;
constexpr int IDC_LABEL_CBTIME = 1029;
constexpr int IDC_LABEL_SECONDS = 1030;
constexpr int IDC_LABEL_PBX = 1031;
constexpr int IDC_VERSION = 1038;
constexpr int IDC_STATIC = -1;

// Tray icon
constexpr int kTrayIconId = 100;

// Timers of the tray controller
constexpr int kTimerClick = 4;
constexpr int kTimerRegister = 5;
constexpr int kTimerDrain = 6;
