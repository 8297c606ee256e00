#include "ui/ConfigFields.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "platform/IProfile.h"
#include "ui/DialNumber.h"

#include <algorithm>
#include <climits>

namespace {

constexpr std::u16string_view kActions[] = {
    u"ダイヤル", u"発着信履歴", u"KIVO-PBX Manager", u"PBXのアドレス帳を開く", u"PBXの通話履歴を開く",
};

constexpr long kLongMax = INT32_MAX; // long is 32 bits where these fields were defined
constexpr long kLongMin = INT32_MIN;

int DigitValue(char16_t ch) {
    return ch <= u'9' ? ch - u'0' : ch - u'\uFF10';
}

} // namespace

const std::span<const std::u16string_view> g_dblClkActions = kActions;

bool ParseDialogInt(std::u16string_view text, long& nValue) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const char16_t chFirst = i < text.size() ? text[i] : u'\0';
    while (i < text.size() && IsWSpace(text[i]))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        bNegative = text[i++] == u'-';
    long long nAbs = 0;
    size_t nDigits = 0;
    for (; i < text.size() && IsWDigit(text[i]); ++i, ++nDigits)
        nAbs = std::min<long long>(nAbs * 10 + DigitValue(text[i]), 1LL << 32);
    long long nSigned = bNegative ? -nAbs : nAbs;
    nSigned = std::max<long long>(std::min<long long>(nSigned, kLongMax), kLongMin);
    // A text that yields 0 counts only when it starts with the digit 0: "+0", "-0" and "" are refused.
    if (nDigits == 0 || (nSigned == 0 && chFirst != u'0'))
        return false;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i != text.size())
        return false;
    nValue = static_cast<long>(nSigned);
    return true;
}

std::optional<std::u16string> CheckIntField(std::u16string_view text, long nMin, long nMax, long& nValue) {
    long nRead = 0;
    if (!ParseDialogInt(text, nRead))
        return std::u16string(u"Enter an integer.");
    if (nRead < nMin || nRead > nMax)
        return u"Enter an integer between " + ToU16Decimal(nMin) + u" and " + ToU16Decimal(nMax) + u".";
    nValue = nRead;
    return std::nullopt;
}

int DblClkSelection(int nDblClk, int nItems) {
    return (nDblClk > 0 && nDblClk < nItems) ? nDblClk : 0;
}

void WriteSettings(IProfile& profile, const CSettingsValues& values) {
    profile.WriteProfileString(kSectionSettings, u"User", values.strUser);
    profile.WriteProfileString(kSectionSettings, u"Pass", values.strPass);
    profile.WriteProfileString(kSectionSettings, u"PBX", values.strPBX);
    profile.WriteProfileInt(kSectionSettings, u"Cbtime", values.nCbtime);
    profile.WriteProfileInt(kSectionSettings, u"PortNum", static_cast<int>(values.nPortNum));
    profile.WriteProfileInt(kSectionSettings, u"DblClk", values.nDblClk);
    profile.Flush();
}

void ApplySettings(CKIVODialerApp& app, const CSettingsValues& values) {
    app.m_strUser = values.strUser;
    app.m_strPass = values.strPass;
    app.m_strPBX = values.strPBX;
    app.m_nCbtime = values.nCbtime;
    app.m_nPortNum = static_cast<int>(values.nPortNum);
    app.m_nDblClk = values.nDblClk;
    WriteSettings(app.m_platform.profile, values);
}
