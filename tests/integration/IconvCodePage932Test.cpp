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
