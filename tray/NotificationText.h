// The grammar of the exchange's notification texts and the balloon that shows an incoming call.
#pragma once

#include "app/TextUtil.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::u16string_view kKeywordRequest = u"request";   // an incoming call
inline constexpr std::u16string_view kKeywordUpdate = u"requpstate"; // known, ignored
inline constexpr size_t kNotifyFieldCount = 11;

// Indexes of the fields of an incoming-call text.
inline constexpr size_t kFieldAccount = 1;
inline constexpr size_t kFieldNumber = 3;
inline constexpr size_t kFieldName = 4;
inline constexpr size_t kFieldNameSupplement = 5;
inline constexpr size_t kFieldTitle = 7;

// The balloon's room: characters (UTF-16 units) before the terminating zero of its two members.
inline constexpr size_t kBalloonTitleMax = 63;
inline constexpr size_t kBalloonTextMax = 255;
inline constexpr int kBalloonTimeoutMs = 10000;
inline constexpr std::u16string_view kBalloonDefaultTitle = u"KIVO-PBX";
// Lines longer than this widen the balloon through its title.
inline constexpr size_t kBalloonTitlePadFrom = 16;

using CNotifyFields = std::array<std::u16string, kNotifyFieldCount>;

// The first token: leading tabs skipped, up to the next tab or the end, white space trimmed.
std::u16string ReadNotifyKeyword(std::u16string_view text);

// Fields 0 to 10 counted from the start of the text; a field counts only when a tab follows it.
// Each is trimmed of white space; fields the text does not reach are empty.
CNotifyFields SplitNotifyFields(std::u16string_view text);

// "name[supplement]", or whichever of the two is not empty.
std::u16string MakeDisplayName(std::u16string_view strName, std::u16string_view strSupplement);

// The title followed by one ideographic space for every character the longest non-empty line of
// text has beyond 16.
std::u16string PadBalloonTitle(std::u16string_view strTitle, std::u16string_view strText);

struct CIncomingCall {
    std::u16string strNumber;       // field 3: the call history record's number
    std::u16string strName;         // the display name: the record's name
    std::u16string strBalloonText;  // "name - number", or the number alone
    std::u16string strBalloonTitle; // field 7, padded
};

// The incoming call an incoming-call text announces to strUser, or nothing when field 1 is another
// account (compared exactly, letter case included).
std::optional<CIncomingCall> ParseIncomingCall(std::u16string_view text, std::u16string_view strUser);

struct CBalloon {
    std::u16string strTitle;
    std::u16string strText;
};

// What the balloon shows: "KIVO-PBX" for an empty title; both texts cut to the balloon's room, never
// in the middle of a surrogate pair.
CBalloon MakeBalloon(std::u16string_view strText, std::u16string_view strTitle);
