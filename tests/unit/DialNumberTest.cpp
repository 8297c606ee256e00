#include "ui/DialNumber.h"

#include <gtest/gtest.h>

TEST(DialNumber, ExtractKeepsDigitsAndAsterisksOfTheFirstLine) {
    struct Case {
        std::u16string text;
        std::u16string number;
    } cases[] = {
        {u"TEL 012-345-6789\n2nd line 999", u"0123456789"},
        {u"012-345\r\n6789", u"012345"},
        {u"(012) 345-6789 #2", u"01234567892"},
        {u"+81 3 1234 5678", u"81312345678"},
        {u"*67", u"*67"},
        {u"abc DEF", u""},
        {u"\n0123", u""},
        {u"０３－１２３４", u"０３１２３４"}, // full-width digits count as digits
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractDialNumber(c.text), c.number);
}

TEST(DialNumber, DestinationIsTrimmedAndTheSfaPrefixKeepsTheRest) {
    struct Case {
        std::u16string typed;
        std::u16string number;
    } cases[] = {
        {u" sfa-12ab ", u"SFA-12ab"},
        {u"\tSfA-x-1 y\r\n", u"SFA-x-1 y"},
        {u"SFA-", u"SFA-"},
        {u"sfa", u""}, // too short for the prefix: no digits
        {u"sfa1-23", u"123"},
        {u" (012) 345-6789 #2 ", u"01234567892"},
        {u"*67", u"*67"},
        {u"letters only", u""},
        {u"   ", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeDialNumber(c.typed), c.number);
}
