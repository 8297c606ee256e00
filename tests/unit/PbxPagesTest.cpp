#include "tray/PbxPages.h"

#include "app/TextUtil.h"
#include "platform/ICodePage.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

namespace {
// ASCII as itself, テ and 着 as their code page 932 bytes, anything else as "?".
class CSmallCodePage932 : public ICodePage932 {
public:
    std::string FromUtf16(std::u16string_view text) override {
        std::string out;
        for (char16_t ch : text) {
            if (ch < 0x80)
                out += static_cast<char>(ch);
            else if (ch == u'テ')
                out += "\x83\x65";
            else if (ch == u'着')
                out += "\x92\x85";
            else
                out += '?';
        }
        return out;
    }
    std::u16string ToUtf16(std::string_view bytes) override { return std::u16string(bytes.size(), u'?'); }
};
} // namespace

TEST(PbxPages, UrlEncodingOfCodePage932Bytes) {
    CSmallCodePage932 cp;
    struct Case {
        std::u16string_view in;
        std::u16string_view out;
    } cases[] = {
        {u"azAZ09.-*_", u"azAZ09.-*_"},
        {u"a&b=c#d%e+f g", u"a%26b%3Dc%23d%25e%2Bf+g"},
        {u"テ", u"%83e"},
        {u"着", u"%92%85"},
        {u"/~'\x7f", u"%2F%7E%27%7F"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlEncode(c.in, cp), c.out) << U16ToUtf8(c.in);
}

TEST(PbxPages, Addresses) {
    CSmallCodePage932 cp;
    EXPECT_EQ(PbxPageAddress(ID_PBX_MANAGER, u"pbx.invalid:8080", u"2001", u"pw", cp),
              u"http://pbx.invalid:8080/manager/");
    EXPECT_EQ(PbxPageAddress(ID_PBX_ADDRBOOK, u"pbx.invalid", u"2001", u"", cp),
              u"http://pbx.invalid/manager/login?username=2001&password=&redirecturl=%2Faddrbook");
    EXPECT_EQ(PbxPageAddress(ID_PBX_CDR, u"127.0.0.1:8080", u"テ 1", u"p&w", cp),
              u"http://127.0.0.1:8080/manager/login?username=%83e+1&password=p%26w&redirecturl=%2Fcdr");
    EXPECT_EQ(PbxPageAddress(ID_DIAL, u"pbx.invalid", u"2001", u"pw", cp), u"");
}

// The exchange setting goes into the address unchanged, so a setting that would make the browser go to
// another host than the one the web API talks to, or to another address altogether, opens nothing.
TEST(PbxPages, ASettingThatWouldChangeTheHostOpensNothing) {
    CSmallCodePage932 cp;
    const std::u16string_view refused[] = {
        u"pbx.invalid@evil.invalid", // the browser would log in to evil.invalid
        u"evil.invalid/x?",          u"evil.invalid#",      u"pbx.invalid:80@evil.invalid",
        u"pbx.invalid evil.invalid", u"pbx.invalid\nevil",  u"\"pbx.invalid\"",
        u"javascript:alert(1)",      u"pbx.invalid\\@evil", u"",
    };
    for (std::u16string_view pbx : refused)
        for (int nCommand : {ID_PBX_MANAGER, ID_PBX_ADDRBOOK, ID_PBX_CDR})
            EXPECT_EQ(PbxPageAddress(nCommand, pbx, u"2001", u"pw", cp), u"") << U16ToUtf8(pbx);
    // Account and password cannot reach past the query: every byte of them that means something in an
    // address is encoded.
    EXPECT_EQ(PbxPageAddress(ID_PBX_CDR, u"pbx.invalid", u"a@evil.invalid/#", u"\" 'x'\njavascript:", cp),
              u"http://pbx.invalid/manager/login?username=a%40evil.invalid%2F%23"
              u"&password=%22+%27x%27%0Ajavascript%3A&redirecturl=%2Fcdr");
}
