#include "app/TextUtil.h"

#include <gtest/gtest.h>

TEST(TextUtil, Utf8DecodingReplacesEachInvalidSequence) {
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"request\tabc", u"request\tabc"},
        {"\xE7\x9D\x80\xE4\xBF\xA1", u"着信"},
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"\xE7\x9D", u"\uFFFD"},                 // cut short at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong: lead byte refused, tail stray
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // an encoded surrogate
        {"\xF0\x9F\x93\x9E", u"\U0001F4DE"},     // outside the BMP: a surrogate pair
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToU16(c.bytes), c.text) << c.bytes;
}

TEST(TextUtil, Utf8RoundTripAndLoneSurrogates) {
    const std::u16string text = u"KIVO-PBX 着信 \U0001F4DE";
    EXPECT_EQ(Utf8ToU16(U16ToUtf8(text)), text);
    EXPECT_EQ(U16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextUtil, TrimRemovesWideWhiteSpaceAtBothEnds) {
    EXPECT_EQ(TrimWSpace(u" \t\r\nOK\r\n"), u"OK");
    EXPECT_EQ(TrimWSpace(u"\u3000名前 X\u3000"), u"名前 X");
    EXPECT_EQ(TrimWSpace(u" \t "), u"");
    EXPECT_EQ(ToU16Decimal(-404), u"-404");
}

TEST(TextUtil, InvisibleFormatCharactersShowAsQuestionMarks) {
    struct Case {
        std::u16string text;
        std::u16string shown;
    } cases[] = {
        {u"\u202E0110-999-990", u"?0110-999-990"},
        {u"a\u200Bb\u200Dc\u200Ed\u200Fe", u"a?b?c?d?e"},
        {u"\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069\u061C\uFEFF", u"??????????"},
        {u"tag\U000E0041\U000E007F", u"tag??"}, // one "?" for each pair
        {u"山田 Vazi-03 \U0001F4DE", u"山田 Vazi-03 \U0001F4DE"},
        {std::u16string(1, char16_t(0xDB40)), std::u16string(1, char16_t(0xDB40))}, // a lone half stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowFormatChars(c.text), c.shown);
}
