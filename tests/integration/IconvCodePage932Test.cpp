#include "platform/posix/IconvCodePage932.h"

#include <gtest/gtest.h>

TEST(IconvCodePage932, GivesWindowsBytesAndQuestionMarksForWhatItCannotHold) {
    CIconvCodePage932 cp;
    struct Case {
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {u"2001 a&=#%+", "2001 a&=#%+"},
        {u"テ", "\x83\x65"},
        {u"着信", "\x92\x85\x90\x4D"},
        {u"～", "\x81\x60"}, // FULLWIDTH TILDE: the Windows mapping, not JIS's wave dash
        {u"①", "\x87\x40"},  // an NEC special character of code page 932
        {u"a\U0001F4DEb", "a?b"},
        {u"é", "?"},
        {u"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cp.FromUtf16(c.text), c.bytes);
}

TEST(IconvCodePage932, ReadsWindowsBytesBackAndAQuestionMarkForAByteThatStartsNoCharacter) {
    CIconvCodePage932 cp;
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"\x83G\x83\x89\x81[", u"エラー"},
        {"\x81\x60\x87\x40 ok", u"～① ok"},
        {"a\xA0"
         "b",
         u"a?b"},              // 0xA0 is no character of code page 932
        {"\x83G\x83", u"エ?"}, // a lead byte cut off at the end
        {"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cp.ToUtf16(c.bytes), c.text) << c.bytes;
}
