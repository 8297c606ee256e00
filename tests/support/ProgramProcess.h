// Runs the real program (KIVODialer of the build) as a child process with a profile and a runtime
// directory of its own in a temporary folder (XDG_CONFIG_HOME, XDG_RUNTIME_DIR), for tests that need the
// whole program: signals, crashes, files, memory. Header-only; KIVO_BINARY_DIR names the build.
//
//   CProgramProcess program;
//   program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), nUdpPort));
//   ASSERT_TRUE(program.Start());
//   ...
//   program.Signal(SIGTERM);
//   ASSERT_TRUE(program.WaitForExit(2000)) << program.Log();
//
// The program's standard error goes to a file in the folder (Log()); the destructor kills a program
// that still runs.
#pragma once

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class CProgramProcess {
public:
    static QString ProgramPath() { return QStringLiteral(KIVO_BINARY_DIR "/KIVODialer"); }

    CProgramProcess() {
        std::filesystem::create_directories(ProfileDir());
        std::filesystem::create_directories(RuntimeDir());
        std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(ConfigHome()));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(RuntimeDir()));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The exchange is on loopback: no proxy in between.
        for (const char* pszName : {"http_proxy", "all_proxy", "ALL_PROXY"})
            m_env.remove(QString::fromLatin1(pszName));
    }
    ~CProgramProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    CProgramProcess(const CProgramProcess&) = delete;
    CProgramProcess& operator=(const CProgramProcess&) = delete;

    std::string Dir() const { return m_dir.path().toStdString(); }
    std::string ConfigHome() const { return Dir() + "/config"; }
    std::string ProfileDir() const { return ConfigHome() + "/Selvane-Works"; }
    std::string ProfilePath() const { return ProfileDir() + "/KIVODialer.conf"; }
    std::string RuntimeDir() const { return Dir() + "/run"; }

    // The settings of a workstation 2001 that registers with the exchange at strPbx ("127.0.0.1:PORT")
    // and receives its notifications on nUdpPort.
    static std::string Profile(const std::string& strPbx, int nUdpPort, const std::string& strPass = "pw") {
        return "[Settings]\nUser=2001\nPass=" + strPass + "\nPBX=" + strPbx +
               "\n\n[Config-UDP]\nHost=127.0.0.1\nPort-Recv=" + std::to_string(nUdpPort) + "\n";
    }
    void WriteProfile(const std::string& text) const {
        std::ofstream(ProfilePath(), std::ios::binary) << text;
    }
    std::string ReadProfile() const {
        std::ifstream in(ProfilePath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Takes a section out of the profile file behind the program's back (so that only a later save of
    // the program puts it back); false when the file has no such section.
    bool EraseProfileSection(const std::string& strSection) const {
        std::string text = ReadProfile();
        const size_t begin = text.find("[" + strSection + "]");
        if (begin == std::string::npos)
            return false;
        const size_t end = text.find("\n[", begin);
        text.erase(begin, end == std::string::npos ? std::string::npos : end + 1 - begin);
        WriteProfile(text);
        return true;
    }

    QProcessEnvironment& Env() { return m_env; }
    // Runs in the child between fork and exec (to change its user, for one).
    void SetChildModifier(std::function<void()> modifier) {
        m_process.setChildProcessModifier(std::move(modifier));
    }

    bool Start(const QStringList& args = {}) {
        m_process.setProcessEnvironment(m_env);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QString::fromStdString(Dir() + "/program.log"), QIODevice::Append);
        m_process.start(ProgramPath(), args);
        return m_process.waitForStarted(5000);
    }
    // Runs the program to its end (a second instance); false when it did not end in time.
    bool Run(const QStringList& args, int nTimeoutMs = 10000) {
        return Start(args) && WaitForExit(nTimeoutMs);
    }

    pid_t Pid() const { return static_cast<pid_t>(m_process.processId()); }
    // Asks the system, not the last state QProcess noticed.
    bool IsRunning() { return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0); }
    void Signal(int nSignal) const {
        if (Pid() > 0)
            ::kill(Pid(), nSignal);
    }
    bool WaitForExit(int nTimeoutMs) { return m_process.waitForFinished(nTimeoutMs); }
    // Ended by itself with status 0 (not by a signal, not by a sanitizer's report).
    bool EndedCleanly() const {
        return m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }
    QProcess& Process() { return m_process; }

    // What the program wrote to its standard error, for failure messages.
    std::string Log() const {
        std::ifstream in(Dir() + "/program.log");
        std::stringstream text;
        text << in.rdbuf();
        return "program's log:\n" + text.str();
    }

    // The shared login flag the program publishes for a second instance, or -1 while it has none.
    long LoginFlag() const {
        std::ifstream in(RuntimeDir() + "/KIVODialerMemmap", std::ios::binary);
        uint32_t nValue = 0;
        if (!in.read(reinterpret_cast<char*>(&nValue), sizeof nValue))
            return -1;
        return static_cast<long>(nValue);
    }

    // Resident memory in KB (VmRSS), or -1 once the program has gone.
    long ResidentKb() const {
        std::ifstream status("/proc/" + std::to_string(Pid()) + "/status");
        std::string strLine;
        while (std::getline(status, strLine))
            if (strLine.rfind("VmRSS:", 0) == 0)
                return std::stol(strLine.substr(6));
        return -1;
    }

    // The numbers of the call history records in the profile, record 1 first, up to the first gap.
    std::vector<std::string> StoredNumbers() const {
        QSettings profile(QString::fromStdString(ProfilePath()), QSettings::IniFormat);
        std::vector<std::string> numbers;
        for (int n = 1;; ++n) {
            const QString strNumber = profile.value(QStringLiteral("CDR/CallNum%1").arg(n)).toString();
            if (strNumber.isEmpty())
                break;
            numbers.push_back(strNumber.toStdString());
        }
        return numbers;
    }

    // A UDP port on all interfaces that was free a moment ago.
    static int FreeUdpPort() {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        close(fd);
        return ntohs(addr.sin_port);
    }

    // The text of an incoming call for account 2001 from this number, as the exchange sends it.
    static std::string CallText(const std::string& strNumber, const std::string& strName = "") {
        return "request\t2001\t\t" + strNumber + "\t" + strName + "\t\t\t着信\t\t\t\t";
    }

    // Polls until pred holds or the time is up; returns pred's last answer.
    static bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!pred()) {
            if (std::chrono::steady_clock::now() >= end)
                return pred();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QProcess m_process;
};

// Sends datagrams from one socket of its own to a loopback port.
class CUdpSender {
public:
    explicit CUdpSender(int nPort) : m_fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        m_addr.sin_family = AF_INET;
        m_addr.sin_port = htons(static_cast<uint16_t>(nPort));
        m_addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~CUdpSender() { close(m_fd); }
    CUdpSender(const CUdpSender&) = delete;
    CUdpSender& operator=(const CUdpSender&) = delete;

    bool Send(const std::string& bytes) const {
        return sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&m_addr),
                      sizeof m_addr) == static_cast<ssize_t>(bytes.size());
    }

private:
    int m_fd;
    sockaddr_in m_addr{};
};
