// The real program against a loopback exchange: calls announced over UDP are in the profile, in order,
// however the program ends, even by SIGKILL; SIGTERM ends it the way the exit command does.
#include "tests/support/LoopbackPbx.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class KIVODialerProcessTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_nUdpPort = FreeUdpPort();
        std::filesystem::create_directories(Dir() + "/config/Selvane-Works");
        std::filesystem::create_directories(Dir() + "/run");
        std::filesystem::permissions(Dir() + "/run", std::filesystem::perms::owner_all);
        std::ofstream(ProfilePath()) << "[Settings]\nUser=2001\nPass=pw\nPBX=127.0.0.1:" << m_pbx.Port()
                                     << "\n\n[Config-UDP]\nHost=127.0.0.1\nPort-Recv=" << m_nUdpPort << "\n";
    }

    std::string Dir() const { return m_dir.path().toStdString(); }
    std::string ProfilePath() const { return Dir() + "/config/Selvane-Works/KIVODialer.conf"; }

    // Starts the program and waits for its first registration, two seconds after it started.
    void Start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(Dir() + "/config"));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(Dir() + "/run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        const size_t nBefore = m_pbx.Requests().size();
        m_process.start(KIVO_BINARY_DIR "/KIVODialer", {});
        ASSERT_TRUE(m_process.waitForStarted(5000));
        for (auto end = std::chrono::steady_clock::now() + 10s;
             m_pbx.Requests().size() == nBefore && std::chrono::steady_clock::now() < end;)
            std::this_thread::sleep_for(20ms);
        ASSERT_GT(m_pbx.Requests().size(), nBefore) << "the program registered";
    }

    // Announces calls and gives the program the one second per notification it takes.
    void Announce(const std::vector<std::string>& numbers) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(m_nUdpPort));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (const std::string& strNumber : numbers) {
            const std::string text =
                "request\t2001\t\t" + strNumber + "\tname" + strNumber + "\t\t\t着信\t\t\t\t";
            sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 * numbers.size() + 800));
    }

    std::vector<std::string> StoredNumbers() const {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        std::vector<std::string> numbers;
        for (int n = 1;; ++n) {
            const QString strNumber = profile.value(QStringLiteral("CDR/CallNum%1").arg(n)).toString();
            if (strNumber.isEmpty())
                break;
            EXPECT_EQ(profile.value(QStringLiteral("CDR/CallName%1").arg(n)).toString(), "name" + strNumber);
            EXPECT_EQ(profile.value(QStringLiteral("CDR/Mode%1").arg(n)).toString(), "1");
            numbers.push_back(strNumber.toStdString());
        }
        return numbers;
    }

    static int FreeUdpPort() {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        close(fd);
        return ntohs(addr.sin_port);
    }

    QTemporaryDir m_dir;
    CLoopbackPbx m_pbx;
    int m_nUdpPort = 0;
    QProcess m_process;
};

} // namespace

TEST_F(KIVODialerProcessTest, SigkillLosesNoCallAndTheNextRunAddsAfterThem) {
    Start();
    Announce({"0311110001", "0311110002"});
    m_process.kill(); // SIGKILL: nothing of the program runs after it
    ASSERT_TRUE(m_process.waitForFinished(5000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0311110001", "0311110002"}));

    Start();
    Announce({"0311110003"});
    m_process.kill();
    ASSERT_TRUE(m_process.waitForFinished(5000));
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0311110001", "0311110002", "0311110003"}));
}

TEST_F(KIVODialerProcessTest, SigtermEndsTheProgramLikeTheExitCommand) {
    Start();
    Announce({"0322220001", "0322220002"});
    m_process.terminate(); // SIGTERM
    ASSERT_TRUE(m_process.waitForFinished(5000));
    EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_EQ(StoredNumbers(), (std::vector<std::string>{"0322220001", "0322220002"}));
    // The channel was stopped: its settings were written back.
    QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(profile.value("Config-UDP/Port-Recv").toInt(), m_nUdpPort);
    EXPECT_EQ(profile.value("Config-UDP/Port-Send").toInt(), 10641);
}
