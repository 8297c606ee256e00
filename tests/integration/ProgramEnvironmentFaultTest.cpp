// What the program finds around it at start: its receive port held by another program, a profile full of
// garbage or cut short, a profile folder it cannot write to. It starts all the same with what it can
// read (the defaults for the rest), never crashes or hangs, and keeps its state in memory when the
// profile cannot take it.
#include "app/TextUtil.h"
#include "platform/qt/QtProfile.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProfileFileTrayFixture.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TrayFixture.h"

#include <QEventLoop>
#include <QMenu>
#include <QTimer>

#include <grp.h>
#include <random>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace {

// A UDP socket on all interfaces, as another program holding the port would have it.
class CHeldUdpPort {
public:
    CHeldUdpPort() : m_fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        socklen_t len = sizeof addr;
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_nPort = ntohs(addr.sin_port);
    }
    ~CHeldUdpPort() { close(m_fd); }
    int Port() const { return m_nPort; }
    // The next datagram sent to the port, or empty after the time-out.
    std::string Receive(std::chrono::milliseconds timeout) const {
        pollfd pfd{m_fd, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(timeout.count())) <= 0)
            return {};
        char buf[2048];
        const ssize_t n = recv(m_fd, buf, sizeof buf, 0);
        return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    }

private:
    int m_fd;
    int m_nPort = 0;
};

void RunEventLoop(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string RandomBytes(size_t nSize, unsigned nSeed) {
    std::mt19937 random(nSeed);
    std::string bytes(nSize, '\0');
    for (char& ch : bytes)
        ch = static_cast<char>(random());
    return bytes;
}

} // namespace

// The receive port is held by another program: the notification channel does not start, without a
// message, and the rest of the program works: it registers, ends at once when asked, and the datagrams
// go to the program that holds the port.
TEST(ProgramEnvironmentFaultTest, AReceivePortHeldByAnotherProgramLeavesTheRestWorking) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    CHeldUdpPort held;
    CProgramProcess program;
    program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), held.Port()));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil(
        [&] { return sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos; }, 6s))
        << program.Log();
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return program.LoginFlag() == 1; }, 2s));

    CUdpSender(held.Port()).Send(CProgramProcess::CallText("0311110000"));
    EXPECT_EQ(held.Receive(1s), CProgramProcess::CallText("0311110000"));
    ASSERT_TRUE(program.IsRunning()) << program.Log();
    const auto start = std::chrono::steady_clock::now();
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(3000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_TRUE(program.EndedCleanly()) << program.Log();
    EXPECT_TRUE(program.StoredNumbers().empty());
}

namespace {
using HeldPortControllerTest = TrayFixture;
}

// The same as the tray controller sees it: no terminal, no drain timer, registration and menus as usual.
TEST_F(HeldPortControllerTest, NoChannelNoDrainTimerAndEverythingElseAsUsual) {
    CHeldUdpPort held;
    m_profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", held.Port());
    Create();
    EXPECT_FALSE(m_pWnd->m_terminal.HasTerminal());
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 0);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    ExpireRegister();
    EXPECT_TRUE(m_pApp->m_bLogin);
    m_pWnd->OnTrayNotify(kTrayIconId, WM_LBUTTONUP);
    RunEventLoop(350ms);
    EXPECT_TRUE(m_pWnd->LeftClickMenu()->isVisible());
    m_pWnd->LeftClickMenu()->hide();
}

namespace {

// A profile as the program finds it at start, and what it must read from it.
struct CProfileFault {
    const char* pszName;
    // Prepares the profile in the program's folder; pbx and port are the simulator and a free UDP port.
    std::function<void(CProgramProcess&, const std::string& strPbx, int nPort)> prepare;
    bool bSettingsReadable; // the account and the exchange can be read: the program registers
};

std::string TruncatedProfile(const std::string& strPbx, int nPort) {
    // Written in the order a careful reader would expect, cut in the middle of record 3.
    return CProgramProcess::Profile(strPbx, nPort) +
           "\n[CDR]\nCallNum1=0300000001\nCallName1=Vazi\nMode1=1\nTime1=2024/01/31 09:05:07\n"
           "CallNum2=0300000002\nCallName2=\nMode2=0\nTime2=2024/01/31 09:06:00\nCallNum3=03000";
}

const CProfileFault kProfileFaults[] = {
    {"full of garbage",
     [](CProgramProcess& p, const std::string&, int) { p.WriteProfile(RandomBytes(4096, 8)); }, false},
    {"cut short",
     [](CProgramProcess& p, const std::string& strPbx, int nPort) {
         p.WriteProfile(TruncatedProfile(strPbx, nPort));
     },
     true},
    {"its folder a file",
     [](CProgramProcess& p, const std::string&, int) {
         std::filesystem::remove_all(p.ProfileDir());
         std::ofstream(p.ProfileDir()) << "not a folder";
     },
     false},
};

} // namespace

// Garbage, a cut-short file or a folder that cannot exist: the program starts, reads what it can and
// the defaults for the rest, handles calls, and ends cleanly; a readable profile keeps its records.
TEST(ProgramEnvironmentFaultTest, AnUnreadableOrCutProfileGivesDefaultsAndNothingCrashes) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    struct CRun {
        explicit CRun(const CProfileFault& f) : fault(f) {}
        const CProfileFault& fault;
        int nUdpPort = CProgramProcess::FreeUdpPort();
        CProgramProcess program;
    };
    std::vector<std::unique_ptr<CRun>> runs;
    for (const CProfileFault& fault : kProfileFaults) {
        runs.push_back(std::make_unique<CRun>(fault));
        fault.prepare(runs.back()->program, sim.HostPort(), runs.back()->nUdpPort);
        ASSERT_TRUE(runs.back()->program.Start());
    }
    // Past the first registration's two seconds: an account that could not be read sends nothing and
    // leaves the shared flag at 1; a readable one registers.
    std::this_thread::sleep_for(2500ms);
    for (auto& pRun : runs) {
        SCOPED_TRACE(pRun->fault.pszName);
        ASSERT_TRUE(pRun->program.IsRunning()) << pRun->program.Log();
        EXPECT_EQ(pRun->program.LoginFlag(), 1);
        if (pRun->fault.bSettingsReadable) {
            CUdpSender(pRun->nUdpPort).Send(CProgramProcess::CallText("0300000009"));
        }
    }
    std::this_thread::sleep_for(1200ms);
    for (auto& pRun : runs) {
        CRun& run = *pRun;
        SCOPED_TRACE(run.fault.pszName);
        run.program.Signal(SIGTERM);
        ASSERT_TRUE(run.program.WaitForExit(3000));
        EXPECT_TRUE(run.program.EndedCleanly()) << run.program.Log();
    }
    EXPECT_EQ(sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos, true);

    // Garbage: the channel ran on the defaults of an empty profile and stored them at its stop; the file
    // is a profile again.
    const CProgramProcess& garbage = runs[0]->program;
    QSettings garbageProfile(QString::fromStdString(garbage.ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(garbageProfile.status(), QSettings::NoError);
    EXPECT_EQ(garbageProfile.value("Config-UDP/Host").toString(), "localhost");
    EXPECT_EQ(garbageProfile.value("Config-UDP/Port-Recv").toInt(), 10640);
    EXPECT_EQ(garbageProfile.value("Config-UDP/Port-Send").toInt(), 10641);
    EXPECT_TRUE(garbage.StoredNumbers().empty());

    // Cut short: the records before the cut as they were, the cut one as far as it came, the new call
    // after them.
    const CProgramProcess& cut = runs[1]->program;
    EXPECT_EQ(cut.StoredNumbers(),
              (std::vector<std::string>{"0300000001", "0300000002", "03000", "0300000009"}));
    QSettings cutProfile(QString::fromStdString(cut.ProfilePath()), QSettings::IniFormat);
    EXPECT_EQ(cutProfile.value("CDR/CallName1").toString(), "Vazi");
    EXPECT_EQ(cutProfile.value("CDR/Time2").toString(), "2024/01/31 09:06:00");
    EXPECT_EQ(cutProfile.value("Settings/PBX").toString().toStdString(), sim.HostPort());

    // The folder that is a file is left as it was.
    std::ifstream folder(runs[2]->program.ProfileDir());
    std::string strText;
    std::getline(folder, strText);
    EXPECT_EQ(strText, "not a folder");
}

// A profile folder of another user, read-only to this one (a home restored from a backup, an
// administrator's copy): the program reads its settings, registers, handles calls and ends cleanly; the
// profile it cannot write stays as it was. Needs root to set up (the program then runs as "nobody").
TEST(ProgramEnvironmentFaultTest, AProfileFolderItCannotWriteToChangesNothingAndNothingCrashes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "a folder of another user needs root to make";
    constexpr uid_t kNobody = 65534;
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    const int nUdpPort = CProgramProcess::FreeUdpPort();
    CProgramProcess program;
    const std::string strProfile =
        CProgramProcess::Profile(sim.HostPort(), nUdpPort) + "\n[CDR]\nCallNum1=0300000001\n";
    program.WriteProfile(strProfile);
    chmod(program.Dir().c_str(), 0755);
    for (const std::string& strDir : {program.ConfigHome(), program.ProfileDir()})
        chmod(strDir.c_str(), 0755);
    chmod(program.ProfilePath().c_str(), 0644);
    ASSERT_EQ(chown(program.RuntimeDir().c_str(), kNobody, kNobody), 0);
    program.SetChildModifier([] {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(127);
    });
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil(
        [&] { return sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos; }, 6s))
        << program.Log();
    CUdpSender(nUdpPort).Send(CProgramProcess::CallText("0300000002"));
    std::this_thread::sleep_for(1500ms); // handled, and its save failed
    ASSERT_TRUE(program.IsRunning()) << program.Log();
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(3000));
    EXPECT_TRUE(program.EndedCleanly()) << program.Log();
    EXPECT_EQ(program.ReadProfile(), strProfile);
    struct stat st {};
    ASSERT_EQ(stat(program.ProfileDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u) << "another user's folder is not changed";
}

namespace {

// The tray controller over the real profile file, in a folder that cannot be made (a file is in the
// way): every write fails.
class UnwritableProfileTest : public ProfileFileTrayFixture {
protected:
    void SetUp() override {
        ProfileFileTrayFixture::SetUp();
        std::ofstream(ConfigHome() + "/Selvane-Works") << "not a folder";
    }
};

} // namespace

// Nothing reaches the disk, but the program's state holds: the history in memory, and what was written
// reads back as written for as long as the program runs.
TEST_F(UnwritableProfileTest, TheStateHoldsInMemory) {
    CQtProfile& profile = MakeProfile();
    profile.WriteProfileString(kSectionSettings, u"User", u"2001");
    profile.WriteProfileString(kSectionSettings, u"Pass", u"pw");
    profile.WriteProfileString(kSectionSettings, u"PBX", m_pbx.Host());
    profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", FreeUdpPort());
    profile.Flush();
    m_pApp = std::make_unique<CKIVODialerApp>(
        CPlatform{profile, m_http, m_log, m_box, *m_pInstance, *m_pInstance, m_codePage, m_clock});
    ASSERT_TRUE(m_pApp->InitInstance(u""));
    EXPECT_EQ(m_pApp->m_strUser, u"2001");
    m_pWnd = std::make_unique<CTestWnd>(*m_pApp);
    ASSERT_TRUE(m_pWnd->CreateMainWindow());
    m_pApp->m_pMainWnd = m_pWnd.get();
    EXPECT_TRUE(m_pWnd->m_terminal.HasTerminal());

    ExpireRegister();
    EXPECT_TRUE(m_pApp->m_bLogin);
    for (const char16_t* pszNumber : {u"01", u"02", u"03"})
        EXPECT_TRUE(m_pApp->AddCallHistory(pszNumber, u"", 0));
    ASSERT_EQ(m_pWnd->GetCdrList().size(), 3u);
    EXPECT_EQ(m_pWnd->GetCdrList().back().strNumber, u"03");
    EXPECT_EQ(profile.GetProfileString(kSectionCdr, u"CallNum3", u""), u"03");
    EXPECT_TRUE(m_pWnd->OnQueryEndSession());

    const auto start = std::chrono::steady_clock::now();
    m_pWnd->DestroyWindow();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a failing save does not wait";
    EXPECT_EQ(m_pWnd->GetCdrList().size(), 3u);
    m_pWnd.reset();
    EXPECT_FALSE(std::filesystem::is_directory(ConfigHome() + "/Selvane-Works"));
}

namespace {

// The tray controller over a profile whose file is a directory. QSettings keeps the folder it found
// first for the whole process, so the path is the one the profile reports.
class DirectoryProfileTest : public ProfileFileTrayFixture {
protected:
    void TearDown() override {
        ProfileFileTrayFixture::TearDown();
        if (!m_strPath.empty())
            std::filesystem::remove_all(m_strPath);
    }
    const std::string& ProfilePath() {
        if (m_strPath.empty()) {
            m_strPath = MakeProfile().FileName().toStdString();
            // An earlier test of this process may have left a profile there, or a file in the folder's place.
            const std::filesystem::path folder = std::filesystem::path(m_strPath).parent_path();
            if (!std::filesystem::is_directory(folder))
                std::filesystem::remove(folder);
            std::filesystem::remove_all(m_strPath);
            std::filesystem::create_directories(folder);
        }
        return m_strPath;
    }
    unsigned ModeOfProfile() {
        struct stat st {};
        return stat(ProfilePath().c_str(), &st) == 0 ? st.st_mode & 07777 : 0xFFFF;
    }

private:
    std::string m_strPath;
};

} // namespace

// A directory in the profile's place: one message box names it, the program goes on without
// registering, and the directory keeps its mode through the start, the saves and the end.
TEST_F(DirectoryProfileTest, IsReportedOnceAndLeftAsItWas) {
    std::filesystem::create_directories(ProfilePath());
    chmod(ProfilePath().c_str(), 0755);
    CQtProfile& profile = MakeProfile();
    m_pApp = std::make_unique<CKIVODialerApp>(
        CPlatform{profile, m_http, m_log, m_box, *m_pInstance, *m_pInstance, m_codePage, m_clock});
    CQtMessageBox::SetNextAnswer(IDOK);
    ASSERT_TRUE(m_pApp->InitInstance(u""));
    EXPECT_EQ(CQtMessageBox::LastText(), UnusableProfileMessage(Utf8ToU16(ProfilePath())));
    EXPECT_EQ(CQtMessageBox::LastType(), MB_ICONERROR);
    EXPECT_EQ(CQtMessageBox::LastCaption(), u"KIVODialer");

    m_pWnd = std::make_unique<CTestWnd>(*m_pApp);
    ASSERT_TRUE(m_pWnd->CreateMainWindow());
    m_pApp->m_pMainWnd = m_pWnd.get();
    ExpireRegister();
    EXPECT_TRUE(m_pbx.Requests().empty()) << "no settings, no registration";
    EXPECT_TRUE(m_pWnd->OnQueryEndSession());
    m_pWnd->DestroyWindow();
    EXPECT_TRUE(std::filesystem::is_directory(ProfilePath()));
    EXPECT_EQ(ModeOfProfile(), 0755u);
}

// A profile file that is there, or not there yet, is no reason for a message.
TEST_F(DirectoryProfileTest, AFileOrNoneIsUsable) {
    ProfilePath();
    EXPECT_EQ(MakeProfile().UnusablePath(), u"");
    std::ofstream(ProfilePath()) << "[Settings]\nUser=2001\n";
    EXPECT_EQ(MakeProfile().UnusablePath(), u"");
}
