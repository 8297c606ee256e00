#include "tray/RegisterDecision.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {
constexpr std::u16string_view kProduct = u"KIVODialer";
constexpr int kRefreshMin = 10800000;
constexpr int kRefreshMax = 17353400;
} // namespace

TEST(RegisterDecision, OutcomeOfOneAttempt) {
    struct Case {
        bool bOk;
        unsigned nRetryBefore;
        bool bLogin;
        unsigned nRetryAfter;
        bool bGiveUp;
        std::u16string_view strTip;
    } cases[] = {
        {true, 0, true, 0, false, u"KIVODialer"},
        {true, 4, true, 0, false, u"KIVODialer"}, // an accepted attempt forgets earlier failures
        {false, 0, false, 1, false, u"KIVODialer(未接続)"},
        {false, 3, false, 4, false, u"KIVODialer(未接続)"},
        {false, 4, false, 0, true, u"KIVODialer(未接続)"}, // the fifth failure in a row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ok=" << c.bOk << " retry=" << c.nRetryBefore);
        const CRegisterDecision d = DecideRegister(c.bOk, c.nRetryBefore, 1700000000, kProduct);
        EXPECT_EQ(d.bLogin, c.bLogin);
        EXPECT_EQ(d.bIconLogin, c.bLogin);
        EXPECT_EQ(d.nRetry, c.nRetryAfter);
        EXPECT_EQ(d.bGiveUp, c.bGiveUp);
        EXPECT_EQ(d.strTip, c.strTip);
        if (c.bGiveUp)
            EXPECT_EQ(d.nNextPeriodMs, 0);
        else if (c.bOk)
            EXPECT_TRUE(d.nNextPeriodMs >= kRefreshMin && d.nNextPeriodMs <= kRefreshMax) << d.nNextPeriodMs;
        else
            EXPECT_EQ(d.nNextPeriodMs, 10000);
    }
}

TEST(RegisterDecision, AnOutageGetsFiveAttemptsThenGivesUpAndAnotherOutageFiveMore) {
    for (int outage = 0; outage < 2; ++outage) {
        unsigned nRetry = 0;
        int nAttempts = 0;
        for (;;) {
            ++nAttempts;
            const CRegisterDecision d = DecideRegister(false, nRetry, 0, kProduct);
            nRetry = d.nRetry;
            if (d.bGiveUp)
                break;
            ASSERT_LT(nAttempts, 5);
        }
        EXPECT_EQ(nAttempts, 5);
        EXPECT_EQ(nRetry, 0u);
    }
}

TEST(RegisterDecision, RefreshPeriodBounds) {
    EXPECT_EQ(RefreshPeriodMs(0, 0), kRefreshMin);
    EXPECT_EQ(RefreshPeriodMs(32767, 32767), kRefreshMax);
}

TEST(RegisterDecision, RefreshPeriodIsSeededFromTheTimeOfEveryAttempt) {
    // The rule, whatever the C library's generator: the first two draws after srand(time of the
    // attempt), each in 0..32767. No particular library's sequence is assumed.
    std::set<int> periods;
    for (std::time_t t = 1700000000; t < 1700000200; ++t) {
        std::srand(static_cast<unsigned>(t));
        const int r1 = std::rand() % 32768;
        const int r2 = std::rand() % 32768;
        // Draws made elsewhere in between do not shift the attempt's draws.
        for (int i = 0; i < 7; ++i)
            (void)std::rand();
        const int n = DecideRegister(true, 0, t, kProduct).nNextPeriodMs;
        ASSERT_EQ(n, RefreshPeriodMs(r1, r2)) << t;
        ASSERT_TRUE(n >= kRefreshMin && n <= kRefreshMax) << n;
        periods.insert(n);
    }
    // The period follows the time: attempts in different seconds are not all alike.
    EXPECT_GT(periods.size(), 1u);
}

TEST(RegisterDecision, IncompleteSettingsSendNothing) {
    EXPECT_TRUE(HasRegisterSettings(u"2001", u"pw", u"pbx.invalid"));
    EXPECT_FALSE(HasRegisterSettings(u"", u"pw", u"pbx.invalid"));
    EXPECT_FALSE(HasRegisterSettings(u"2001", u"", u"pbx.invalid"));
    EXPECT_FALSE(HasRegisterSettings(u"2001", u"pw", u""));
}
