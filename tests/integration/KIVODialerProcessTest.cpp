// The real program against a loopback exchange: calls announced over UDP are in the profile, in order,
// however the program ends, even by SIGKILL; SIGTERM ends it the way the exit command does.
#include "tests/support/LoopbackPbx.h"
#include "tests/support/ProgramProcess.h"

#include <QSettings>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class KIVODialerProcessTest : public testing::Test {
protected:
    void SetUp() override {
        m_nUdpPort = CProgramProcess::FreeUdpPort();
        m_program.WriteProfile(
            CProgramProcess::Profile("127.0.0.1:" + std::to_string(m_pbx.Port()), m_nUdpPort));
    }

    // Starts the program and waits for its first registration, two seconds after it started.
    void Start() {
        const size_t nBefore = m_pbx.Requests().size();
        ASSERT_TRUE(m_program.Start());
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return m_pbx.Requests().size() > nBefore; }, 10s))
            << "the program registered\n"
            << m_program.Log();
    }

    // Announces calls and gives the program the one second per notification it takes.
    void Announce(const std::vector<std::string>& numbers) {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(m_nUdpPort));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (const std::string& strNumber : numbers) {
            const std::string text = CProgramProcess::CallText(strNumber, "name" + strNumber);
            sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 * numbers.size() + 800));
    }

    // The stored numbers, each record checked to be the received call announced with that number.
    std::vector<std::string> StoredNumbers() const {
        const std::vector<std::string> numbers = m_program.StoredNumbers();
        QSettings profile(QString::fromStdString(m_program.ProfilePath()), QSettings::IniFormat);
        for (size_t n = 1; n <= numbers.size(); ++n) {
            EXPECT_EQ(profile.value(QStringLiteral("CDR/CallName%1").arg(n)).toString().toStdString(),
                      "name" + numbers[n - 1]);
            EXPECT_EQ(profile.value(QStringLiteral("CDR/Mode%1").arg(n)).toString(), "1");
        }
        return numbers;
    }

    CLoopbackPbx m_pbx;
    CProgramProcess m_program;
    int m_nUdpPort = 0;
};

} // namespace

TEST_F(KIVODialerProcessTest, SigkillLosesNoCallAndTheNextRunAddsAfterThem) {
    Start();
    Announce({"0311110001", "0311110002"});
    m_program.Signal(SIGKILL); // nothing of the program runs after it
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(m_program.Process().exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0311110001", "0311110002"}));

    Start();
    Announce({"0311110003"});
    m_program.Signal(SIGKILL);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0311110001", "0311110002", "0311110003"}));
}

TEST_F(KIVODialerProcessTest, SigtermEndsTheProgramLikeTheExitCommand) {
    Start();
    Announce({"0322220001", "0322220002"});
    m_program.Signal(SIGTERM);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_TRUE(m_program.EndedCleanly()) << m_program.Log();
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0322220001", "0322220002"}));
    // The channel was stopped: its settings were written back.
    QSettings profile(QString::fromStdString(m_program.ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(profile.value("Config-UDP/Port-Recv").toInt(), m_nUdpPort);
    EXPECT_EQ(profile.value("Config-UDP/Port-Send").toInt(), 10641);
}
