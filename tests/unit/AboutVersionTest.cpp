#include "app/AboutVersion.h"

#include <gtest/gtest.h>

TEST(AboutVersion, VersionLineDropsTheLastNumber) {
    EXPECT_EQ(AboutVersionLine(u"1.0.0.1"), u"Version 1.0.0");
    EXPECT_EQ(AboutVersionLine(u"2.10.3"), u"Version 2.10");
    EXPECT_EQ(AboutVersionLine(u"7"), u"Version ");
    EXPECT_EQ(AboutVersionLine(u""), u"Version ");
}
