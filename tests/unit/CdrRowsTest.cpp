#include "ui/CdrRows.h"

#include <gtest/gtest.h>

TEST(CdrRows, KindCopiedRowAndCallBackPrompt) {
    EXPECT_EQ(CdrKindText(0), u"発信");
    EXPECT_EQ(CdrKindText(1), u"着信");
    EXPECT_EQ(CdrKindText(7), u"着信");
    EXPECT_EQ(JoinCdrRow(u"着信", u"2024/01/31 09:05:07", u"0312345678", u""),
              u"着信\t2024/01/31 09:05:07\t0312345678\t");
    EXPECT_EQ(CallBackPrompt(u"0312345678", u""), u"0312345678\nに発信しますか？");
    EXPECT_EQ(CallBackPrompt(u"0312345678", u"X"), u"0312345678(X)\nに発信しますか？");
}

TEST(CdrRows, LastColumnTakesWhatTheNominalTotalLeaves) {
    EXPECT_EQ(InitialLastColumnWidth(45, 137, 94), 490 - 45 - 137 - 94);
}
