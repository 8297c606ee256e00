#include "tray/CallHistoryStore.h"

#include "app/MemoryProfile.h"
#include "app/TextUtil.h"
#include "platform/IClock.h"
#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

class CFixedClock : public IClock {
public:
    std::time_t Now() override { return m_now; }
    std::time_t m_now = 1706659507; // 2024-01-31 00:05:07 UTC
};

// Local time is part of the stored text: pin the zone for the test's lifetime.
class CallHistoryStoreTest : public testing::Test {
protected:
    void SetUp() override {
        m_env.Set("TZ", "JST-9");
        tzset();
    }
    void TearDown() override {
        m_env.Restore();
        tzset();
    }

    std::u16string Stored(const char* entry, int n) {
        return m_profile.GetProfileString(kSectionCdr, U16(entry) + ToU16Decimal(n), u"<absent>");
    }
    void Store(int n, std::u16string_view number, std::u16string_view mode) {
        m_profile.WriteProfileString(kSectionCdr, u"CallNum" + ToU16Decimal(n), number);
        m_profile.WriteProfileString(kSectionCdr, u"CallName" + ToU16Decimal(n), u"name" + ToU16Decimal(n));
        m_profile.WriteProfileString(kSectionCdr, u"Mode" + ToU16Decimal(n), mode);
        m_profile.WriteProfileString(kSectionCdr, u"Time" + ToU16Decimal(n),
                                     u"2023/12/24 18:00:0" + ToU16Decimal(n));
    }
    std::vector<std::u16string> Numbers(const CCallHistoryStore& store) {
        std::vector<std::u16string> v;
        for (const CdrRecord& r : store.GetCdrList())
            v.push_back(r.strNumber);
        return v;
    }

    CMemoryProfile m_profile;
    CFixedClock m_clock;
    CScopedEnv m_env;
};

} // namespace

TEST_F(CallHistoryStoreTest, EveryAddedRecordIsOnDiskAtOnce) {
    CCallHistoryStore store(m_profile, m_clock);
    EXPECT_TRUE(store.AddRecord(u"0312345678", u"Vazi[Sales]", kCdrModeReceived));
    EXPECT_EQ(m_profile.m_nFlushes, 1);
    EXPECT_EQ(Stored("CallNum", 1), u"0312345678");
    EXPECT_EQ(Stored("CallName", 1), u"Vazi[Sales]");
    EXPECT_EQ(Stored("Time", 1), u"2024/01/31 09:05:07");
    EXPECT_EQ(Stored("Mode", 1), u"1");

    EXPECT_FALSE(store.AddRecord(u"", u"nobody", kCdrModeReceived));
    EXPECT_EQ(store.GetCdrList().size(), 1u);
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(CallHistoryStoreTest, TheTwentyFirstAdditionDropsTheOldest) {
    CCallHistoryStore store(m_profile, m_clock);
    for (int i = 1; i <= 21; ++i) {
        m_clock.m_now += 1;
        store.AddRecord(u"0" + ToU16Decimal(i), {}, kCdrModePlaced);
    }
    ASSERT_EQ(store.GetCdrList().size(), 20u);
    EXPECT_EQ(store.GetCdrList().front().strNumber, u"02");
    EXPECT_EQ(store.GetCdrList().back().strNumber, u"021");
    EXPECT_EQ(store.GetCdrList().back().strTime, u"2024/01/31 09:05:28");
    EXPECT_EQ(Stored("CallNum", 1), u"02");
    EXPECT_EQ(Stored("CallNum", 20), u"021");
    EXPECT_EQ(Stored("CallNum", 21), u"<absent>");
}

TEST_F(CallHistoryStoreTest, LoadingStopsAtTheFirstRecordWithoutANumber) {
    Store(1, u"01", u"0");
    Store(2, u"02", u"1");
    Store(4, u"04", u"1");
    CCallHistoryStore store(m_profile, m_clock);
    store.LoadHistory();
    ASSERT_EQ(Numbers(store), (std::vector<std::u16string>{u"01", u"02"}));
    EXPECT_EQ(store.GetCdrList().back().strName, u"name2");
    EXPECT_EQ(store.GetCdrList().back().strTime, u"2023/12/24 18:00:02");

    // The next save fills the gap and leaves the later stale record where it was.
    store.AddRecord(u"new", {}, kCdrModePlaced);
    EXPECT_EQ(Stored("CallNum", 3), u"new");
    EXPECT_EQ(Stored("CallNum", 4), u"04");
}

TEST_F(CallHistoryStoreTest, LoadingReadsAtMostTwentyRecords) {
    for (int n = 1; n <= 22; ++n)
        Store(n, u"0" + ToU16Decimal(n), u"0");
    CCallHistoryStore store(m_profile, m_clock);
    store.LoadHistory();
    EXPECT_EQ(store.GetCdrList().size(), 20u);
    EXPECT_EQ(store.GetCdrList().back().strNumber, u"020");
}

TEST_F(CallHistoryStoreTest, ModeIsReadAsAnIntegerKeptIn16Bits) {
    struct Case {
        std::u16string_view text;
        uint16_t nMode;
    } cases[] = {
        {u"0", 0},
        {u"1", 1},
        {u"7", 7},
        {u"", 0},
        {u"abc", 0},
        {u" \t1", 1},
        {u"+1", 1},
        {u"1x", 1},
        {u"-1", 65535},
        {u"65537", 1},
        {u"99999999999", 65535},
        {u"-99999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCdrMode(c.text), c.nMode) << U16ToUtf8(c.text);
}

TEST_F(CallHistoryStoreTest, AnOddModeSurvivesALoadAndASave) {
    Store(1, u"01", u"7");
    CCallHistoryStore store(m_profile, m_clock);
    store.LoadHistory();
    EXPECT_EQ(store.GetCdrList().front().nMode, 7);
    store.SaveHistory();
    EXPECT_EQ(Stored("Mode", 1), u"7");
}

TEST_F(CallHistoryStoreTest, SavesThenMoreCallsThenReloadKeepEveryRecordInOrder) {
    CCallHistoryStore store(m_profile, m_clock);
    for (int i = 1; i <= 3; ++i)
        store.AddRecord(u"0" + ToU16Decimal(i), u"n", static_cast<uint16_t>(i % 2));
    store.SaveHistory(); // as when the session manager asks to save, and the session goes on
    store.AddRecord(u"04", {}, kCdrModePlaced);
    store.SaveHistory();

    CCallHistoryStore reloaded(m_profile, m_clock);
    reloaded.LoadHistory();
    ASSERT_EQ(Numbers(reloaded), (std::vector<std::u16string>{u"01", u"02", u"03", u"04"}));
    auto a = store.GetCdrList().begin();
    for (const CdrRecord& r : reloaded.GetCdrList()) {
        EXPECT_EQ(r.strName, a->strName);
        EXPECT_EQ(r.strTime, a->strTime);
        EXPECT_EQ(r.nMode, a->nMode);
        ++a;
    }
}

namespace {
class CRecordingListener : public ICallHistoryListener {
public:
    explicit CRecordingListener(CMemoryProfile& profile) : m_profile(profile) {}
    void OnCallHistoryChanged(const std::list<CdrRecord>& records) override {
        m_sizes.push_back(records.size());
        m_flushesSeen.push_back(m_profile.m_nFlushes);
    }
    CMemoryProfile& m_profile;
    std::vector<size_t> m_sizes;
    std::vector<int> m_flushesSeen;
};
} // namespace

TEST_F(CallHistoryStoreTest, ListenersHearOfEachAddedRecordAfterItIsSaved) {
    CCallHistoryStore store(m_profile, m_clock);
    CRecordingListener first(m_profile), second(m_profile);
    store.AddListener(first);
    store.AddListener(second);
    store.AddListener(first); // once is enough

    EXPECT_TRUE(store.AddRecord(u"0312345678", u"", kCdrModeReceived));
    EXPECT_FALSE(store.AddRecord(u"", u"", kCdrModePlaced)); // nothing added, nothing told
    store.RemoveListener(second);
    EXPECT_TRUE(store.AddRecord(u"0398765432", u"", kCdrModePlaced));

    EXPECT_EQ(first.m_sizes, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(first.m_flushesSeen, (std::vector<int>{1, 2})) << "the record is on disk when they hear of it";
    EXPECT_EQ(second.m_sizes, (std::vector<size_t>{1}));
    store.LoadHistory();
    EXPECT_EQ(first.m_sizes.size(), 2u) << "loading is no new call";
}
