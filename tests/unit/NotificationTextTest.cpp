#include "tray/NotificationText.h"

#include <gtest/gtest.h>

namespace {
// An incoming-call text: every field followed by a tab.
std::u16string Request(std::u16string_view account, std::u16string_view number, std::u16string_view name,
                       std::u16string_view supplement, std::u16string_view title,
                       std::u16string_view tail = u"0\tline1\tline2\t") {
    std::u16string s = u"request\t";
    s += account;
    s += u"\tx\t";
    s += number;
    s += u'\t';
    s += name;
    s += u'\t';
    s += supplement;
    s += u"\ty\t";
    s += title;
    s += u'\t';
    s += tail;
    return s;
}

std::u16string Ideographic(size_t n) {
    return std::u16string(n, u'\u3000');
}
} // namespace

TEST(NotificationText, Keyword) {
    struct Case {
        std::u16string_view text;
        std::u16string_view keyword;
    } cases[] = {
        {u"request\t2001\t", u"request"},
        {u"\t\trequest\tx\t", u"request"}, // leading tabs are skipped
        {u" request \t", u"request"},
        {u"request", u"request"}, // no tab needed after the keyword
        {u"requpstate\t", u"requpstate"},
        {u"Request\t", u"Request"},
        {u"request2\t", u"request2"},
        {u"\t\t", u""},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadNotifyKeyword(c.text), c.keyword);
}

TEST(NotificationText, FieldsCountOnlyWhenATabFollows) {
    CNotifyFields f = SplitNotifyFields(u"a\t b \t\tlast");
    EXPECT_EQ(f[0], u"a");
    EXPECT_EQ(f[1], u"b");
    EXPECT_EQ(f[2], u"");
    EXPECT_EQ(f[3], u""); // "last" has no tab after it
    f = SplitNotifyFields(u"0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t");
    EXPECT_EQ(f[10], u"10");
    f = SplitNotifyFields(u"\u3000x\u3000\r\n\t");
    EXPECT_EQ(f[0], u"x");
}

TEST(NotificationText, IncomingCalls) {
    struct Case {
        const char* what;
        std::u16string text;
        std::u16string_view user;
        bool bForUs;
        std::u16string number, name, balloonText, balloonTitle;
    } cases[] = {
        {"full", Request(u"2001", u"0312345678", u"Vazi", u"Sales", u"着信"), u"2001", true, u"0312345678",
         u"Vazi[Sales]", u"Vazi[Sales] - 0312345678",
         u"着信\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000"},
        {"fields 8 to 10 change nothing",
         Request(u"2001", u"0312345678", u"Vazi", u"Sales", u"着信", u"9\tany\tthing\textra\t"), u"2001",
         true, u"0312345678", u"Vazi[Sales]", u"Vazi[Sales] - 0312345678", u"着信" + Ideographic(8)},
        {"leading tab shifts the fields",
         u"\t" + Request(u"2001", u"03", u"A", u"B", u"T"),
         u"2001",
         false,
         {},
         {},
         {},
         {}},
        {"account differs in case", Request(u"abc", u"03", u"A", u"", u"T"), u"ABC", false, {}, {}, {}, {}},
        {"supplement alone", Request(u"2001", u"0312345678", u"", u"Sales", u""), u"2001", true,
         u"0312345678", u"Sales", u"Sales - 0312345678", Ideographic(2)},
        {"no name at all", Request(u"2001", u"0312345678", u"", u"", u"着信"), u"2001", true, u"0312345678",
         u"", u"0312345678", u"着信"},
        {"20 characters, no title", Request(u"2001", u"0312345678", u"ABCDEFG", u"", u""), u"2001", true,
         u"0312345678", u"ABCDEFG", u"ABCDEFG - 0312345678", Ideographic(4)},
        {"number without a tab after it is lost", u"request\t2001\tx\t0312345678", u"2001", true, u"", u"",
         u"", u""},
        {"lone surrogate", Request(u"2001", u"03", std::u16string(1, char16_t(0xD800)), u"", u""), u"2001",
         true, u"03", std::u16string(1, char16_t(0xD800)), u"\uFFFD - 03", u""},
        // A right-to-left override would show "Bank - 099-999-0110": the balloon shows it as "?", the
        // record keeps what came.
        {"bidirectional override", Request(u"2001", u"\u202E0110-999-990", u"Bank", u"", u"\u2067着信"),
         u"2001", true, u"\u202E0110-999-990", u"Bank", u"Bank - ?0110-999-990", u"?着信" + Ideographic(4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto call = ParseIncomingCall(c.text, c.user);
        ASSERT_EQ(call.has_value(), c.bForUs);
        if (!call)
            continue;
        EXPECT_EQ(call->strNumber, c.number);
        EXPECT_EQ(call->strName, c.name);
        EXPECT_EQ(call->strBalloonText, c.balloonText);
        EXPECT_EQ(call->strBalloonTitle, c.balloonTitle);
    }
}

TEST(NotificationText, TitlePaddingFollowsTheLongestNonEmptyLine) {
    EXPECT_EQ(PadBalloonTitle(u"T", u"1234567890123456"), u"T");
    EXPECT_EQ(PadBalloonTitle(u"T", u"12345678901234567"), u"T" + Ideographic(1));
    EXPECT_EQ(PadBalloonTitle(u"T", u"short\n\n12345678901234567890\nmid"), u"T" + Ideographic(4));
}

TEST(NotificationText, BalloonHasADefaultTitleAndNeverOverflows) {
    CBalloon b = MakeBalloon(u"text", u"");
    EXPECT_EQ(b.strTitle, u"KIVO-PBX");
    EXPECT_EQ(b.strText, u"text");

    // A 255-character line: its title grows by 239 spaces and both are cut to the balloon's room.
    const std::u16string strLong(255, u'x');
    const auto call = ParseIncomingCall(Request(u"2001", strLong, u"", u"", u"着信"), u"2001");
    ASSERT_TRUE(call);
    b = MakeBalloon(call->strBalloonText, call->strBalloonTitle);
    EXPECT_EQ(b.strText, strLong);
    EXPECT_EQ(b.strTitle, u"着信" + Ideographic(61));
    EXPECT_EQ(MakeBalloon(strLong + u"yz", u"").strText, strLong);

    // A surrogate pair across the limit is dropped whole.
    const std::u16string strPair = std::u16string(62, u'a') + u"\U0001F4DE";
    EXPECT_EQ(MakeBalloon(u"", strPair).strTitle, std::u16string(62, u'a'));
    EXPECT_EQ(CutText(std::u16string(61, u'a') + u"\U0001F4DE", 63),
              std::u16string(61, u'a') + u"\U0001F4DE");
}
