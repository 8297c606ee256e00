#include "platform/qt/EndSignalNotifier.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <vector>

TEST(EndSignalNotifier, SignalsArriveOnTheEventLoopInOrder) {
    std::vector<int> received;
    {
        CEndSignalNotifier notifier({SIGHUP, SIGTERM});
        ASSERT_TRUE(notifier.IsInstalled());
        QObject::connect(&notifier, &CEndSignalNotifier::EndRequested, [&](int n) { received.push_back(n); });
        raise(SIGHUP);
        raise(SIGTERM);
        EXPECT_TRUE(received.empty()) << "nothing runs inside the handler";
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (received.size() < 2 && std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(received, (std::vector<int>{SIGHUP, SIGTERM}));
    struct sigaction current = {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "the default handler is back";
}
