#include "pbxweb/RequestForms.h"

#include "app/TextUtil.h"

#include <gtest/gtest.h>

TEST(RequestForms, ValuesGoIntoTheFixedForms) {
    EXPECT_EQ(FormatCallRequest(u"201", u"secret", u"0312345678", 10),
              u"/manager/kivodialer/call?callid=201&passwd=secret&dialno=0312345678&cbtime=10");
    EXPECT_EQ(FormatRegistRequest(u"201", u"secret", 10640, 0),
              u"/manager/kivodialer/regist?callid=201&passwd=secret&port=10640&type=0");
    EXPECT_EQ(FormatCallRequest(u"", u"", u"", -1),
              u"/manager/kivodialer/call?callid=&passwd=&dialno=&cbtime=-1");
}

// Printable ASCII travels as typed; what would make the request target invalid or end it does not.
TEST(RequestForms, OnlyWhatCannotStandInARequestTargetIsEncoded) {
    struct Case {
        std::u16string value;
        std::u16string encoded;
    } cases[] = {
        {u"user-01_a.b~", u"user-01_a.b~"},
        {u"p&w=d+x/y?z;!$'()*,:@[]", u"p&w=d+x/y?z;!$'()*,:@[]"},
        {u"<>\"{}|\\^`", u"<>\"{}|\\^`"},
        {u"*67#1234", u"*67%231234"}, // a fragment is never sent
        {u"pa ss", u"pa%20ss"},
        {u"a\tb\r\nc", u"a%09b%0D%0Ac"},
        {std::u16string(u"a\0b", 3), u"a%00b"},
        {u"del\x7F", u"del%7F"},
        {u"パス", u"%E3%83%91%E3%82%B9"},
        {u"é\U0001F4DE", u"%C3%A9%F0%9F%93%9E"},
        {std::u16string(1, char16_t(0xD800)), u"%EF%BF%BD"},
        {u"pa%20ss", u"pa%20ss"}, // an escape typed in a stored password is what the exchange knows
        {u"100%", u"100%25"},     // a stray '%' would make the target invalid
        {u"%zz%4", u"%25zz%254"},
        {u"%4g%Af", u"%254g%Af"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeRequestValue(c.value), c.encoded) << U16ToUtf8(c.value);
}

TEST(RequestForms, EveryValueOfBothFormsIsEncoded) {
    EXPECT_EQ(FormatCallRequest(u"山田 太郎", u"p#1", u"*67#", 5),
              u"/manager/kivodialer/call?callid=%E5%B1%B1%E7%94%B0%20%E5%A4%AA%E9%83%8E&passwd=p%231"
              u"&dialno=*67%23&cbtime=5");
    EXPECT_EQ(FormatRegistRequest(u"a b", u"c\nd", 1024, 0),
              u"/manager/kivodialer/regist?callid=a%20b&passwd=c%0Ad&port=1024&type=0");
}
