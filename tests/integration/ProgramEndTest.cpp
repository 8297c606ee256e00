// However the real program ends, its profile is whole: killed at random moments while calls arrive from
// the simulator, the profile is always the state before or after a save, never half of one; asked to end
// by any of the end signals, it saves the call history on the way out.
#include "platform/qt/QtProfile.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProfileFileTrayFixture.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/RawTcpServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <random>

using namespace std::chrono_literals;

namespace {

// The profile's call history, checked record by record: every record complete and one of the calls
// announced, in the order they were announced.
::testing::AssertionResult WholeHistory(const CProgramProcess& program, std::vector<std::string>& numbers) {
    QSettings profile(QString::fromStdString(program.ProfilePath()), QSettings::IniFormat);
    if (profile.status() != QSettings::NoError)
        return ::testing::AssertionFailure() << "the profile does not parse:\n" << program.ReadProfile();
    if (profile.value("Settings/User").toString() != "2001")
        return ::testing::AssertionFailure() << "the settings are gone:\n" << program.ReadProfile();
    numbers = program.StoredNumbers();
    for (size_t i = 0; i < numbers.size(); ++i) {
        const QString strKey = QString::number(i + 1);
        if (numbers[i].rfind("04", 0) != 0 || profile.value("CDR/CallName" + strKey).toString() != "Kill" ||
            profile.value("CDR/Mode" + strKey).toString() != "1" ||
            profile.value("CDR/Time" + strKey).toString().size() != 19)
            return ::testing::AssertionFailure() << "record " << i + 1 << " is not whole:\n"
                                                 << program.ReadProfile();
        if (i > 0 && numbers[i] <= numbers[i - 1])
            return ::testing::AssertionFailure() << "records out of order:\n" << program.ReadProfile();
    }
    return ::testing::AssertionSuccess();
}

// The later history is the earlier one, less records dropped from its head at the limit of 20, with
// newer calls after it.
bool FollowsOn(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    if (before.empty())
        return true;
    if (after.empty())
        return false;
    const auto it = std::find(before.begin(), before.end(), after.front());
    if (it == before.end())
        return false;
    const size_t nKept = static_cast<size_t>(before.end() - it);
    return after.size() >= nKept && std::equal(it, before.end(), after.begin()) && after.size() <= 20;
}

} // namespace

// SIGKILL at a random moment, twenty times over, while the simulator announces a call every 150 ms: the
// next start finds a profile that parses and holds the history of one moment, whole and in order.
TEST(ProgramEndTest, RandomKillsNeverLeaveAHalfWrittenProfile) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    const int nUdpPort = CProgramProcess::FreeUdpPort();
    CProgramProcess program;
    program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), nUdpPort));

    std::atomic<bool> bStop{false};
    std::thread announcer([&] {
        for (int n = 0; !bStop; ++n) {
            char szNumber[16];
            std::snprintf(szNumber, sizeof szNumber, "04%08d", n);
            sim.Get("/_sim/notify?account=2001&name=Kill&number=" + std::string(szNumber) +
                    "&to=127.0.0.1:" + std::to_string(nUdpPort));
            std::this_thread::sleep_for(150ms);
        }
    });

    const unsigned nSeed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(nSeed));
    std::mt19937 random(nSeed);
    std::vector<std::string> before;
    size_t nMostRecords = 0;
    for (int nRun = 0; nRun < 20; ++nRun) {
        SCOPED_TRACE("run " + std::to_string(nRun));
        ASSERT_TRUE(program.Start());
        std::this_thread::sleep_for(std::chrono::milliseconds(600 + random() % 1400));
        ASSERT_TRUE(program.IsRunning()) << "a first instance each time\n" << program.Log();
        program.Signal(SIGKILL);
        ASSERT_TRUE(program.WaitForExit(3000));

        std::vector<std::string> after;
        ASSERT_TRUE(WholeHistory(program, after));
        EXPECT_TRUE(FollowsOn(before, after))
            << ::testing::PrintToString(before) << " then " << ::testing::PrintToString(after);
        before = after;
        nMostRecords = std::max(nMostRecords, after.size());
    }
    bStop = true;
    announcer.join();
    EXPECT_GE(nMostRecords, 3u) << "calls came through between the kills";
}

// SIGTERM (a kill request), SIGHUP (the terminal or session going) and SIGINT (Ctrl+C) end the program as
// the exit command does: the channel stops and the call history is saved on the way out, even when the
// profile has lost it since.
TEST(ProgramEndTest, EveryEndSignalSavesTheHistory) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    struct CRun {
        explicit CRun(int n) : nSignal(n) {}
        int nSignal;
        int nUdpPort = CProgramProcess::FreeUdpPort();
        CProgramProcess program;
    };
    std::vector<std::unique_ptr<CRun>> runs;
    for (int nSignal : {SIGTERM, SIGHUP, SIGINT}) {
        runs.push_back(std::make_unique<CRun>(nSignal));
        runs.back()->program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), runs.back()->nUdpPort));
        ASSERT_TRUE(runs.back()->program.Start());
    }
    for (auto& pRun : runs) {
        SCOPED_TRACE(strsignal(pRun->nSignal));
        // The flag turns 1 as the icon is made, right before the channel opens.
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return pRun->program.LoginFlag() == 1; }, 5s));
        std::this_thread::sleep_for(200ms);
        CUdpSender(pRun->nUdpPort).Send(CProgramProcess::CallText("0355550000", "Kill"));
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return pRun->program.StoredNumbers().size() == 1; }, 5s))
            << pRun->program.Log();
        // The history leaves the file behind the program's back: only a save at the end brings it back.
        ASSERT_TRUE(pRun->program.EraseProfileSection("CDR"));
        ASSERT_TRUE(pRun->program.StoredNumbers().empty());
    }
    for (auto& pRun : runs) {
        SCOPED_TRACE(strsignal(pRun->nSignal));
        pRun->program.Signal(pRun->nSignal);
        ASSERT_TRUE(pRun->program.WaitForExit(3000));
        EXPECT_TRUE(pRun->program.EndedCleanly()) << pRun->program.Log();
        EXPECT_EQ(pRun->program.StoredNumbers(), std::vector<std::string>{"0355550000"});
    }
}

namespace {

// The tray controller over the profile file in a folder of its own.
class SessionEndTest : public ProfileFileTrayFixture {};

} // namespace

// The session manager's request to save before the session ends (no session manager runs here: the
// controller's handler is called as Qt calls it) writes the history to the file, and the program goes on.
TEST_F(SessionEndTest, TheSessionManagersSaveWritesTheHistoryToTheFile) {
    CQtProfile& profile = MakeProfile();
    profile.WriteProfileString(kSectionSettings, u"User", u"2001");
    m_pApp = std::make_unique<CKIVODialerApp>(
        CPlatform{profile, m_http, m_log, m_box, *m_pInstance, *m_pInstance, m_codePage, m_clock});
    ASSERT_TRUE(m_pApp->InitInstance(u""));
    m_pWnd = std::make_unique<CTestWnd>(*m_pApp);
    ASSERT_TRUE(m_pWnd->CreateMainWindow());
    m_pApp->m_pMainWnd = m_pWnd.get();
    m_pWnd->AddRecord(u"0366660000", u"Vazi", kCdrModeReceived);

    const std::string strPath = profile.FileName().toStdString();
    std::ofstream(strPath, std::ios::trunc) << "[Settings]\nUser=2001\n"; // the history leaves the file
    ASSERT_TRUE(m_pWnd->OnQueryEndSession());
    QSettings file(QString::fromStdString(strPath), QSettings::IniFormat);
    EXPECT_EQ(file.value("CDR/CallNum1").toString(), "0366660000");
    EXPECT_EQ(file.value("CDR/CallName1").toString(), "Vazi");
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000) << "the program goes on";
}

// An exchange that takes the registration and never answers holds the request for its whole time-out.
// An end signal meanwhile gives the request up and ends the program at once, and the call that arrived
// during the stall, still in the queue, is in the saved history.
TEST(ProgramEndTest, AnEndSignalDuringAStalledRequestEndsAtOnceAndKeepsTheWaitingCall) {
    for (int nSignal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(nSignal));
        std::atomic<bool> bAsked{false};
        CRawTcpServer stalled([&](int, const std::atomic<bool>& bStop) {
            bAsked = true;
            CRawTcpServer::Stall(bStop, 60000);
        });
        const int nUdpPort = CProgramProcess::FreeUdpPort();
        CProgramProcess program;
        program.WriteProfile(
            CProgramProcess::Profile("127.0.0.1:" + std::to_string(stalled.Port()), nUdpPort));
        ASSERT_TRUE(program.Start());
        // The first registration goes out two seconds after the start and stalls.
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return bAsked.load(); }, 6s)) << program.Log();
        CUdpSender(nUdpPort).Send(CProgramProcess::CallText("0377770000", "Stall"));
        std::this_thread::sleep_for(300ms); // the worker has queued it; the drain cannot run
        const auto start = std::chrono::steady_clock::now();
        program.Signal(nSignal);
        ASSERT_TRUE(program.WaitForExit(3000)) << program.Log();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_TRUE(program.EndedCleanly()) << program.Log();
        EXPECT_EQ(program.StoredNumbers(), std::vector<std::string>{"0377770000"});
    }
}
