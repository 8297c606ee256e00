#include "ui/CdrWindowRect.h"
#include "app/MemoryProfile.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CdrWindowRect, ClampMovesTheRectangleOntoTheScreenWithoutResizing) {
    struct Case {
        CScreenRect in;
        CScreenRect out;
    } cases[] = {
        {{1800, 100, 2400, 500}, {1320, 100, 1920, 500}},
        {{-50, -20, 350, 180}, {0, 0, 400, 200}},
        {{100, 900, 500, 1300}, {100, 680, 500, 1080}},
        {{-100, 10, 2100, 50}, {0, 10, 2200, 50}}, // wider than the screen: left edge at 0
        {{10, 10, 1920, 1080}, {10, 10, 1920, 1080}},
        // Found by the CdrRect fuzz target: the distances overflowed an int.
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, INT_MAX, INT_MAX}},
        {{INT_MIN, 10, -1, 50}, {0, 10, INT_MAX, 50}},
    };
    for (auto c : cases) {
        ClampRectToScreen(c.in, 1920, 1080);
        EXPECT_EQ(c.in, c.out) << c.out.left << "," << c.out.top;
    }
}

TEST(CdrWindowRect, ReadRestoresOnlyARectangleWithoutZeros) {
    struct Case {
        CScreenRect stored;
        std::optional<CScreenRect> restored;
    } cases[] = {
        {{1800, 100, 2400, 500}, CScreenRect{1320, 100, 1920, 500}},
        {{0, 100, 600, 500}, std::nullopt},
        {{100, 0, 600, 500}, std::nullopt},
        {{-600, 100, 0, 500}, std::nullopt},    // moves right to 0, 600
        {{2000, 100, 1920, 500}, std::nullopt}, // damaged: no width
        {{0, 0, 0, 0}, std::nullopt},
    };
    for (const auto& c : cases) {
        CMemoryProfile profile;
        WriteCdrRect(profile, c.stored);
        EXPECT_EQ(ReadCdrRect(profile, 1920, 1080), c.restored) << c.stored.left << "," << c.stored.top;
    }
    CMemoryProfile empty;
    EXPECT_EQ(ReadCdrRect(empty, 1920, 1080), std::nullopt);
}
