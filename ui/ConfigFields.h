// The settings dialog's fields: the integer checks with their messages, the double-click actions and
// the write of the six settings.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

class IProfile;

// Reads a decimal integer as the dialog's integer fields accept it: blanks and tabs around an optional
// sign and digits (full-width digits included), nothing else. Values beyond 32 bits saturate.
bool ParseDialogInt(std::u16string_view text, long& nValue);

// Nothing when the text holds an integer from nMin to nMax, which goes to nValue; otherwise the message
// to show: "Enter an integer." or "Enter an integer between <nMin> and <nMax>.".
std::optional<std::u16string> CheckIntField(std::u16string_view text, long nMin, long nMax, long& nValue);

inline constexpr long kCbtimeMin = 5;
inline constexpr long kCbtimeMax = 20;
inline constexpr long kPortNumMin = 1024;
inline constexpr long kPortNumMax = 65535;

// The items of the double-click action list; the index is the stored value.
extern const std::span<const std::u16string_view> g_dblClkActions;

// The item to select for a stored value: the value itself when 0 < value < nItems, else item 0.
int DblClkSelection(int nDblClk, int nItems);

class CKIVODialerApp;

struct CSettingsValues {
    std::u16string strUser;
    std::u16string strPass;
    std::u16string strPBX;
    int nCbtime = 10;
    long nPortNum = 10640;
    int nDblClk = 0;
};

// Writes section "Settings": "User", "Pass", "PBX", "Cbtime", "PortNum", "DblClk", in this order, and
// puts them on disk together.
void WriteSettings(IProfile& profile, const CSettingsValues& values);

// The settings dialog's OK: the values become the application's settings and are written to its profile.
void ApplySettings(CKIVODialerApp& app, const CSettingsValues& values);
