#include "app/TelUri.h"
#include "app/KIVODialerApp.h"

#include <gtest/gtest.h>

TEST(TelUri, TheNumberOfASingleTelephoneLinkIsDialled) {
    struct Case {
        std::u16string cmdLine;
        std::u16string number; // after the digit and asterisk filter
    } cases[] = {
        {u"tel:03-1234-5678", u"0312345678"},
        {u"tel:%2A67-03-1234", u"*67031234"},
        {u"TEL:+81-3-1234-5678", u"81312345678"},
        {u"tel:03%201234%205678", u"0312345678"},
        {u"tel:0312345678;ext=99", u"0312345678"},
        {u"tel:+1-201-555-0123;phone-context=example.invalid", u"12015550123"},
        {u"callto://0312345678", u"0312345678"},
        {u"callto:0312345678", u"0312345678"},
        {u"tel:%zz12", u"12"},
        {u"tel:", u""},
        // Not a single link: the digits of the whole command line, as before.
        {u"03-1234-5678", u"0312345678"},
        {u"tel:03 1234;ext=5", u"0312345"},
        {u"*67 (03) 1234", u"*67031234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterDialDigits(NumberFromCommandLine(c.cmdLine)), c.number);
}

TEST(TelUri, CharactersBeyondTheBasicPlaneSurviveTheDecoding) {
    // Found by the CommandLine fuzz target: each half of a surrogate pair was converted on its own.
    EXPECT_EQ(NumberFromCommandLine(u"tel:\U0001F4DE03-1234%20\U00020BB7"), u"\U0001F4DE03-1234 \U00020BB7");
}
