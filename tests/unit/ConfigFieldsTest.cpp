#include "ui/ConfigFields.h"
#include "app/MemoryProfile.h"

#include <gtest/gtest.h>

TEST(ConfigFields, IntegerFieldsAcceptOnlyASignedNumberBetweenBlanks) {
    struct Case {
        std::u16string text;
        bool ok;
        long value;
    } cases[] = {
        {u"10", true, 10}, {u" \t12\t ", true, 12}, {u"-5", true, -5},   {u"+7", true, 7},
        {u"0", true, 0},   {u"007", true, 7},       {u"２０", true, 20}, {u"99999999999", true, 2147483647},
        {u"", false, 0},   {u"abc", false, 0},      {u"12a", false, 0},  {u"1 2", false, 0},
        {u"+0", false, 0}, {u"-", false, 0},        {u"0x10", false, 0}, {u"1.5", false, 0},
    };
    for (const auto& c : cases) {
        long value = -1;
        EXPECT_EQ(ParseDialogInt(c.text, value), c.ok)
            << testing::PrintToString(std::string(c.text.begin(), c.text.end()));
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(ConfigFields, CheckGivesTheMessageWithTheRange) {
    struct Case {
        std::u16string text;
        long min, max;
        std::optional<std::u16string> message;
    } cases[] = {
        {u"4", 5, 20, u"Enter an integer between 5 and 20."},
        {u"21", 5, 20, u"Enter an integer between 5 and 20."},
        {u"5", 5, 20, std::nullopt},
        {u"20", 5, 20, std::nullopt},
        {u"1023", 1024, 65535, u"Enter an integer between 1024 and 65535."},
        {u"65536", 1024, 65535, u"Enter an integer between 1024 and 65535."},
        {u"abc", 1024, 65535, u"Enter an integer."},
    };
    for (const auto& c : cases) {
        long value = -1;
        EXPECT_EQ(CheckIntField(c.text, c.min, c.max, value), c.message);
        EXPECT_EQ(value == -1, c.message.has_value());
    }
}

TEST(ConfigFields, DoubleClickSelectionFallsBackToTheFirstItem) {
    const int nItems = static_cast<int>(g_dblClkActions.size());
    ASSERT_EQ(nItems, 5);
    EXPECT_EQ(DblClkSelection(4, nItems), 4);
    EXPECT_EQ(DblClkSelection(1, nItems), 1);
    EXPECT_EQ(DblClkSelection(5, nItems), 0);
    EXPECT_EQ(DblClkSelection(7, nItems), 0);
    EXPECT_EQ(DblClkSelection(-1, nItems), 0);
}
