#include "notify/MsgQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void PutText(CMsgQueue& queue, const std::u16string& text) {
    queue.PutData(text.data(), static_cast<int32_t>(text.size() * sizeof(char16_t)));
}

std::u16string Number(int n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

TEST(MsgQueue, HandsRecordsOutOldestFirstAndNoneWhenEmpty) {
    CMsgQueue queue;
    EXPECT_EQ(queue.GetMsg(), nullptr);
    EXPECT_EQ(queue.GetCount(), 0u);
    for (const char16_t* text : {u"A", u"着信\tB", u"C"})
        PutText(queue, text);
    for (const char16_t* text : {u"A", u"着信\tB", u"C"}) {
        auto pMsg = queue.GetMsg();
        ASSERT_NE(pMsg, nullptr);
        EXPECT_EQ(pMsg->Text(), text);
    }
    EXPECT_EQ(queue.GetMsg(), nullptr);
}

TEST(MsgQueue, HoldsAt451AndAcceptsAgainAfterOneIsTaken) {
    CMsgQueue queue;
    for (int i = 0; i < 451; ++i)
        PutText(queue, Number(i));
    ASSERT_EQ(queue.GetCount(), 451u);

    queue.PutMsg(std::make_unique<CMsgData>(u"refused", 14));
    PutText(queue, u"refused too");
    EXPECT_EQ(queue.GetCount(), 451u);

    EXPECT_EQ(queue.GetMsg()->Text(), u"0");
    PutText(queue, u"accepted");
    EXPECT_EQ(queue.GetCount(), 451u);
    std::u16string last;
    while (auto pMsg = queue.GetMsg())
        last = pMsg->Text();
    EXPECT_EQ(last, u"accepted");
}

TEST(MsgQueue, StoresTextsBelow4096BytesWithTwoZeroBytesAfterThem) {
    struct Case {
        int32_t nLen;
        bool bStored;
    } cases[] = {{0, true},     {1, true},       {4094, true}, {4095, true},
                 {4096, false}, {100000, false}, {-1, false}};
    std::vector<uint8_t> bytes(100000, 0xA5);
    for (const Case& c : cases) {
        CMsgQueue queue;
        queue.PutData(bytes.data(), c.nLen);
        auto pMsg = queue.GetMsg();
        ASSERT_EQ(pMsg != nullptr, c.bStored) << c.nLen;
        if (!pMsg)
            continue;
        ASSERT_EQ(pMsg->m_nLen, c.nLen);
        EXPECT_EQ(std::memcmp(pMsg->m_pData.get(), bytes.data(), c.nLen), 0) << c.nLen;
        EXPECT_EQ(pMsg->m_pData[c.nLen], 0) << c.nLen;
        EXPECT_EQ(pMsg->m_pData[c.nLen + 1], 0) << c.nLen;
    }
}

TEST(MsgQueue, RecordIsACopyOfTheBytes) {
    CMsgQueue queue;
    std::u16string text = u"request\t201";
    PutText(queue, text);
    text.assign(text.size(), u'x');
    EXPECT_EQ(queue.GetMsg()->Text(), u"request\t201");
}

TEST(MsgQueue, ClearMsgDeletesEveryRecord) {
    CMsgQueue queue;
    for (int i = 0; i < 10; ++i)
        PutText(queue, Number(i));
    queue.ClearMsg();
    EXPECT_EQ(queue.GetCount(), 0u);
    EXPECT_EQ(queue.GetMsg(), nullptr);
    PutText(queue, u"after");
    EXPECT_EQ(queue.GetMsg()->Text(), u"after");
}

// List nodes come from blocks of 10: a trickle of records, each taken before the next arrives, reuses
// one block; the eleventh waiting record opens a second one; an emptied queue gives its blocks back.
TEST(MsgQueue, ListNodesComeFromBlocksOfTen) {
    CMsgQueue queue;
    EXPECT_EQ(queue.GetNodeBlockCount(), 0u);
    PutText(queue, u"first");
    for (int i = 0; i < 1000; ++i) {
        PutText(queue, Number(i));
        ASSERT_EQ(queue.GetMsg()->Text(), i == 0 ? u"first" : Number(i - 1));
        ASSERT_EQ(queue.GetNodeBlockCount(), 1u) << "at " << i;
    }
    for (int i = 0; i < 9; ++i)
        PutText(queue, Number(i));
    EXPECT_EQ(queue.GetCount(), 10u);
    EXPECT_EQ(queue.GetNodeBlockCount(), 1u);
    PutText(queue, u"eleventh");
    EXPECT_EQ(queue.GetNodeBlockCount(), 2u);
    queue.ClearMsg();
    EXPECT_EQ(queue.GetNodeBlockCount(), 0u);
}

// A producer floods the queue while a consumer drains it slowly: the queue never grows past 451 and
// whatever is taken out comes in the order it was put in, with nothing torn or duplicated.
TEST(MsgQueue, FloodWhileDrainingKeepsLimitAndOrder) {
    CMsgQueue queue;
    constexpr int kTexts = 50000;
    std::atomic<bool> bDone{false};
    std::thread producer([&] {
        for (int i = 0; i < kTexts; ++i)
            PutText(queue, Number(i));
        bDone = true;
    });

    std::vector<int> taken;
    size_t nMaxCount = 0;
    auto take = [&] {
        nMaxCount = std::max(nMaxCount, queue.GetCount());
        auto pMsg = queue.GetMsg();
        if (!pMsg)
            return false;
        const std::u16string text = pMsg->Text();
        taken.push_back(std::stoi(std::string(text.begin(), text.end())));
        return true;
    };
    while (!bDone) {
        take();
        std::this_thread::yield();
    }
    producer.join();
    while (take()) {
    }

    EXPECT_LE(nMaxCount, 451u);
    ASSERT_GE(taken.size(), 451u);
    for (size_t i = 1; i < taken.size(); ++i)
        ASSERT_LT(taken[i - 1], taken[i]) << "at " << i;
    EXPECT_EQ(taken.front(), 0); // put into an empty queue, so never refused
}
