// A second instance's command line, which any program or web page can set through a telephone link:
// the number taken from a tel: or callto: URI and the digits dialled from it.
#include "FuzzInput.h"

#include "app/KIVODialerApp.h"
#include "app/TelUri.h"
#include "app/TextUtil.h"

namespace {

bool StartsWithScheme(std::u16string_view text) {
    std::u16string lower(text.substr(0, 7));
    for (char16_t& ch : lower)
        if (ch >= u'A' && ch <= u'Z')
            ch = static_cast<char16_t>(ch - u'A' + u'a');
    return lower.starts_with(u"tel:") || lower.starts_with(u"callto:");
}

// Without escapes the number is the URI's text between the scheme (and "//") and the first ';',
// characters kept as they are.
void CheckUriNumber(std::u16string_view strUri, std::u16string_view strNumber) {
    std::u16string_view rest = strUri.substr(strUri.find(u':') + 1);
    if (rest.starts_with(u"//"))
        rest.remove_prefix(2);
    rest = rest.substr(0, rest.find(u';'));
    FUZZ_CHECK(strNumber.size() <= rest.size());
    if (rest.find(u'%') == std::u16string_view::npos)
        FUZZ_CHECK(strNumber == Utf8ToU16(U16ToUtf8(rest)));
}

void CheckCommandLine(std::u16string_view strCmdLine) {
    const std::u16string strNumber = NumberFromCommandLine(strCmdLine);
    const std::u16string strTrimmed = TrimWSpace(strCmdLine);
    if (!StartsWithScheme(strTrimmed) || strTrimmed.find(u' ') != std::u16string::npos)
        FUZZ_CHECK(strNumber == strCmdLine);
    else
        CheckUriNumber(strTrimmed, strNumber);

    const std::u16string strDigits = FilterDialDigits(strNumber);
    FUZZ_CHECK(strDigits.size() <= strNumber.size());
    for (char16_t ch : strDigits)
        FUZZ_CHECK((ch >= u'0' && ch <= u'9') || ch == u'*');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    CheckCommandLine(Utf8ToU16(bytes));
    CheckCommandLine(BytesAsU16(bytes));
    return 0;
}
