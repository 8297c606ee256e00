// The number the dial dialog sends for what the user typed, pasted or picked from the history (which
// is profile text): digits and asterisks of the first line, or an "SFA-" destination kept as typed.
#include "FuzzInput.h"

#include "app/TextUtil.h"
#include "pbxweb/RequestForms.h"
#include "ui/DialNumber.h"

namespace {

bool IsDialChar(char16_t ch) {
    return IsWDigit(ch) || ch == u'*';
}

bool OnlyDialChars(std::u16string_view text) {
    for (char16_t ch : text)
        if (!IsDialChar(ch))
            return false;
    return true;
}

void CheckText(std::u16string_view text) {
    const std::u16string strExtracted = ExtractDialNumber(text);
    FUZZ_CHECK(OnlyDialChars(strExtracted));
    FUZZ_CHECK(ExtractDialNumber(text.substr(0, text.find_first_of(u"\r\n"))) == strExtracted);
    FUZZ_CHECK(ExtractDialNumber(strExtracted) == strExtracted);

    const std::u16string strNumber = MakeDialNumber(text);
    if (strNumber.starts_with(u"SFA-")) {
        const std::u16string strTrimmed = TrimWSpace(text);
        FUZZ_CHECK(strTrimmed.size() >= 4 && strNumber.substr(4) == strTrimmed.substr(4));
    } else {
        FUZZ_CHECK(OnlyDialChars(strNumber));
    }
    FUZZ_CHECK(MakeDialNumber(strNumber) == strNumber);

    // Whatever the number, the request stays one request target.
    for (char16_t ch : FormatCallRequest(u"2001", u"pass", strNumber, 10))
        FUZZ_CHECK(ch > 0x20 && ch < 0x7F && ch != u'#');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    CheckText(Utf8ToU16(bytes));
    CheckText(BytesAsU16(bytes));
    return 0;
}
