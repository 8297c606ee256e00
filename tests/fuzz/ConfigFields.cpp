// The settings dialog's integer fields over any text typed or pasted into them, and the six settings it
// writes, read back at the next start. The input's lines are the account, password, exchange, ring
// time, port and double-click texts.
#include "FuzzInput.h"
#include "FuzzPlatform.h"

#include "app/TextUtil.h"
#include "ui/ConfigFields.h"

#include <climits>
#include <string>

namespace {

bool IsAsciiDecimal(std::u16string_view text) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char16_t ch : text)
        if (ch < u'0' || ch > u'9')
            return false;
    return true;
}

void CheckField(std::u16string_view text) {
    long nValue = 12345;
    if (ParseDialogInt(text, nValue)) {
        FUZZ_CHECK(nValue >= INT_MIN && nValue <= INT_MAX);
        long nAgain = 0;
        FUZZ_CHECK(ParseDialogInt(ToU16Decimal(nValue), nAgain) && nAgain == nValue);
    } else {
        FUZZ_CHECK(nValue == 12345);
    }
    if (IsAsciiDecimal(text))
        FUZZ_CHECK(ParseDialogInt(text, nValue) && nValue == std::stol(U16ToUtf8(text)));

    long nChecked = 12345;
    const std::optional<std::u16string> strMessage = CheckIntField(text, kCbtimeMin, kCbtimeMax, nChecked);
    if (!strMessage)
        FUZZ_CHECK(nChecked >= kCbtimeMin && nChecked <= kCbtimeMax);
    else
        FUZZ_CHECK(nChecked == 12345 && (*strMessage == u"Enter an integer." ||
                                         *strMessage == u"Enter an integer between 5 and 20."));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::vector<std::string_view> parts = SplitBytes(AsBytes(pData, nSize), '\n');
    const auto Part = [&](size_t i) { return i < parts.size() ? Utf8ToU16(parts[i]) : std::u16string(); };
    for (size_t i = 3; i < 6; ++i)
        CheckField(Part(i));
    CheckField(BytesAsU16(AsBytes(pData, nSize)));

    // What OK writes is what the next start reads.
    CSettingsValues values;
    values.strUser = Part(0);
    values.strPass = Part(1);
    values.strPBX = Part(2);
    long nValue = 0;
    if (!CheckIntField(Part(3), kCbtimeMin, kCbtimeMax, nValue))
        values.nCbtime = static_cast<int>(nValue);
    if (!CheckIntField(Part(4), kPortNumMin, kPortNumMax, nValue))
        values.nPortNum = nValue;
    values.nDblClk =
        DblClkSelection(WrappedInt(parts.size() > 5 ? parts[5] : ""), int(g_dblClkActions.size()));
    FUZZ_CHECK(values.nDblClk >= 0 && values.nDblClk < int(g_dblClkActions.size()));

    CMemoryProfile profile;
    WriteSettings(profile, values);
    CFuzzPlatform platform;
    CKIVODialerApp app(platform.Platform(profile));
    app.LoadSettings();
    FUZZ_CHECK(app.m_strUser == values.strUser && app.m_strPass == values.strPass &&
               app.m_strPBX == values.strPBX);
    FUZZ_CHECK(app.m_nCbtime == values.nCbtime && app.m_nPortNum == values.nPortNum &&
               app.m_nDblClk == values.nDblClk);
    return 0;
}
