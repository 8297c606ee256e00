// What one registration attempt with the exchange leads to: login state, retry count, icon, tooltip and
// the next period of the registration timer. The tray controller applies it; nothing here touches Qt.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

inline constexpr int kRegisterFirstDelayMs = 2000;    // after the window is created
inline constexpr int kRegisterAfterSettingsMs = 1000; // after the settings dialog closed with OK
inline constexpr int kRegisterRetryPeriodMs = 10000;  // after a failed attempt
inline constexpr unsigned kRegisterRetryLimit = 3;    // a failure with more retries counted gives up

inline constexpr std::u16string_view kNotConnectedSuffix = u"(未接続)";
inline constexpr std::u16string_view kRegisterGiveUpMessage =
    u"KIVO-PBXへの登録に失敗しました。\n接続先の設定を確認してください。\n\nエラー詳細 : "
    u"PBXとの接続に失敗しました。\n自動接続のリトライ処理を中止しました。\nKIVO-"
    u"PBXへの接続設定を確認して下さい。";

struct CRegisterDecision {
    bool bLogin = false;     // the new m_bLogin
    unsigned nRetry = 0;     // the new m_nRetry
    bool bGiveUp = false;    // the timer stays killed and the give-up message is shown
    int nNextPeriodMs = 0;   // the registration timer's next period; 0 when giving up
    bool bIconLogin = false; // the colour icon rather than the grey one
    std::u16string strTip;
};

// A registration needs the account, the password and the exchange; without them nothing is sent.
bool HasRegisterSettings(std::u16string_view strUser, std::u16string_view strPass,
                         std::u16string_view strPBX);

// 100 * (108000 + r1 + r2) ms: three hours plus up to 6553.4 s.
int RefreshPeriodMs(int r1, int r2);

// Decides after an attempt whose result is bOk, with nRetry failures counted before it. Seeds the C
// library's generator with now (as every attempt does) and, for an accepted attempt, draws r1 then r2.
CRegisterDecision DecideRegister(bool bOk, unsigned nRetry, std::time_t now,
                                 std::u16string_view strProductName);

// The tooltip of the login state: the product name, followed by "(未接続)" while not logged in.
std::u16string LoginTip(std::u16string_view strProductName, bool bLogin);
