// The account and password in the address of the exchange's web pages, encoded from code page 932
// (the real conversion): whatever they hold, the encoded value is one form value that decodes to the
// code page's bytes.
#include "FuzzInput.h"

#include "app/TextUtil.h"
#include "platform/posix/IconvCodePage932.h"
#include "resources/ResourceIds.h"
#include "tray/PbxPages.h"

#include <algorithm>

namespace {

int HexValue(char16_t ch) {
    if (ch >= u'0' && ch <= u'9')
        return ch - u'0';
    if (ch >= u'A' && ch <= u'F')
        return ch - u'A' + 10;
    return -1; // upper-case only
}

std::string FormDecode(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'+') {
            out.push_back(' ');
        } else if (text[i] == u'%') {
            FUZZ_CHECK(i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0);
            out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            const char16_t ch = text[i];
            FUZZ_CHECK((ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z') ||
                       (ch >= u'0' && ch <= u'9') || ch == u'.' || ch == u'-' || ch == u'*' || ch == u'_');
            out.push_back(static_cast<char>(ch));
        }
    }
    return out;
}

void CheckValue(std::u16string_view strValue, ICodePage932& codePage) {
    const std::u16string strEncoded = UrlEncode(strValue, codePage);
    FUZZ_CHECK(FormDecode(strEncoded) == codePage.FromUtf16(strValue));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    CIconvCodePage932 codePage;
    const std::vector<std::string_view> parts = SplitBytes(bytes, '\n');
    const std::u16string strUser = Utf8ToU16(parts[0]);
    const std::u16string strPass = parts.size() > 1 ? Utf8ToU16(parts[1]) : std::u16string();
    CheckValue(strUser, codePage);
    CheckValue(strPass, codePage);
    CheckValue(BytesAsU16(bytes), codePage);

    // The values stay inside the login query: one "&password=" and one "&redirecturl=".
    const std::u16string strAddress = PbxPageAddress(ID_PBX_CDR, u"pbx.invalid", strUser, strPass, codePage);
    FUZZ_CHECK(strAddress.starts_with(u"http://pbx.invalid/manager/login?username="));
    FUZZ_CHECK(strAddress.ends_with(u"&redirecturl=%2Fcdr"));
    FUZZ_CHECK(std::count(strAddress.begin(), strAddress.end(), u'&') == 2);
    FUZZ_CHECK(std::count(strAddress.begin(), strAddress.end(), u'=') == 3);
    FUZZ_CHECK(std::count(strAddress.begin(), strAddress.end(), u'?') == 1);
    FUZZ_CHECK(strAddress.find_first_of(u"# \t\r\n") == std::u16string::npos);
    return 0;
}
