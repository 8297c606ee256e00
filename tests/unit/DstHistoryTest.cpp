#include "ui/DstHistory.h"
#include "app/MemoryProfile.h"
#include "app/TextUtil.h"

#include <gtest/gtest.h>

namespace {

using Items = std::vector<std::u16string>;

class DstHistory : public ::testing::Test {
protected:
    static std::u16string Key(int n) { return u"list" + ToU16Decimal(n); }
    void Store(int n, std::u16string_view value) {
        m_profile.WriteProfileString(kSectionDstNo, Key(n), value);
    }
    std::u16string Entry(int n) {
        return m_profile.Has(kSectionDstNo, Key(n)) ? m_profile.GetProfileString(kSectionDstNo, Key(n), u"")
                                                    : u"<absent>";
    }
    CMemoryProfile m_profile;
};

} // namespace

TEST_F(DstHistory, ReadPutsTheClipboardNumberFirstAndSkipsGapsAndCopies) {
    Store(1, u"A");
    Store(2, u"0123");
    Store(4, u"B");
    Store(10, u"Z");
    Store(11, u"beyond");
    EXPECT_EQ(ReadDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"0123"),
              (Items{u"0123", u"A", u"B", u"Z"}));
    EXPECT_EQ(ReadDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u""),
              (Items{u"A", u"0123", u"B", u"Z"}));
    EXPECT_TRUE(ReadDstHistory(m_profile, u"empty", kDstHistoryMax, u"").empty());
}

TEST_F(DstHistory, TheNumberDialledMovesToTheTop) {
    Store(1, u"A");
    Store(2, u"012-345-6789");
    Store(3, u"B");
    const Items items = ReadDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"");
    WriteDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"012-345-6789", items);
    EXPECT_EQ(Entry(1), u"012-345-6789");
    EXPECT_EQ(Entry(2), u"A");
    EXPECT_EQ(Entry(3), u"B");
    EXPECT_EQ(Entry(4), u"<absent>");
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(DstHistory, ANewNumberDropsTheTenthEntryAndLeavesHigherOnesAlone) {
    for (int n = 1; n <= 10; ++n)
        Store(n, u"N" + ToU16Decimal(n));
    Store(11, u"stray");
    const Items items = ReadDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"");
    ASSERT_EQ(items.size(), 10u);
    WriteDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"new", items);
    EXPECT_EQ(Entry(1), u"new");
    EXPECT_EQ(Entry(2), u"N1");
    EXPECT_EQ(Entry(10), u"N9");
    EXPECT_EQ(Entry(11), u"stray");
}

TEST_F(DstHistory, EmptyEditTextWritesTheItemsFromTheFirstEntry) {
    Store(3, u"old3");
    WriteDstHistory(m_profile, kSectionDstNo, kDstHistoryMax, u"", Items{u"X", u"", u"Y"});
    EXPECT_EQ(Entry(1), u"X");
    EXPECT_EQ(Entry(2), u"Y");
    EXPECT_EQ(Entry(3), u"old3"); // beyond the last one written
}
