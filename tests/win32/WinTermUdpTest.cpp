// The notification channel's terminal on Winsock: datagrams from loopback reach the queue, an
// oversized one is lost, and a stop request ends the worker at once.
#include "app/MemoryProfile.h"
#include "notify/MsgQueue.h"
#include "notify/TermUdp.h"
#include "tests/win32/support/WinLoopback.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::vector<std::u16string> TakeUntil(CMsgQueue& queue, const std::u16string& strLast) {
    std::vector<std::u16string> texts;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        auto pMsg = queue.GetMsg();
        if (!pMsg) {
            std::this_thread::sleep_for(1ms);
            continue;
        }
        texts.push_back(pMsg->Text());
        if (texts.back() == strLast)
            break;
    }
    return texts;
}

} // namespace

TEST(WinTermUdp, ReceivesDatagramsAndStopsPromptly) {
    CMsgQueue queue;
    CMemoryProfile profile;
    const uint16_t nPort = wintest::FreePort(SOCK_DGRAM);
    CTermUdp term(&queue, nPort, profile);
    term.LoadSettings();
    ASSERT_TRUE(term.CreateWorker());
    ASSERT_TRUE(term.Initialize());
    ASSERT_TRUE(term.Open());
    uint32_t addr = 1;
    uint16_t nBound = 0;
    ASSERT_TRUE(term.m_pSocket->LocalAddress(addr, nBound));
    EXPECT_EQ(addr, 0u) << "bound on every interface";
    EXPECT_EQ(nBound, nPort);

    wintest::CDatagramSender sender(nPort);
    ASSERT_TRUE(sender.Send("request\t201\t0312345678\t山田\t"));
    ASSERT_TRUE(sender.Send(std::string(9000, 'x'))); // longer than the receive buffer: lost
    ASSERT_TRUE(sender.Send(std::string(3000, 'y'))); // fits, but too long for a notification: dropped
    ASSERT_TRUE(sender.Send("last"));
    const std::vector<std::u16string> texts = TakeUntil(queue, u"last");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], u"request\t201\t0312345678\t山田\t");

    std::this_thread::sleep_for(50ms); // the worker is waiting by now
    const auto t0 = std::chrono::steady_clock::now();
    term.Close();
    term.Join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 200ms) << "the stop must not wait for the 250 ms wait";
    EXPECT_FALSE(term.m_pSocket->IsOpen());
}
