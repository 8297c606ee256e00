// An exchange that is unreachable, refuses, fails, answers too slowly or breaks off: the tray controller
// retries every 10 s and gives up after the fifth failure in a row, stays responsive between attempts,
// and keeps the calls that wait meanwhile; the real program survives the first failed attempt and still
// ends at once when asked. Exchanges are the real simulator (or a closed loopback port), requests go
// through the real HTTP transport.
#include "app/TextUtil.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/TrayFixture.h"
#include "tray/RegisterDecision.h"

#include <QEventLoop>
#include <QMenu>
#include <QTimer>

#include <algorithm>
#include <optional>

using namespace std::chrono_literals;

namespace {

// A loopback port that is bound but does not listen: connections to it are refused while it is held.
class CClosedTcpPort {
public:
    CClosedTcpPort() : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_strHostPort = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    }
    ~CClosedTcpPort() { close(m_fd); }
    const std::string& HostPort() const { return m_strHostPort; }

private:
    int m_fd;
    std::string m_strHostPort;
};

int CountRequests(const CSimProcess& sim, const std::string& strKind) {
    const std::string strLog = sim.Get("/_sim/log").m_strBody;
    const std::string strPath = "\t/manager/kivodialer/" + strKind + "\t";
    int n = 0;
    for (size_t pos = strLog.find(strPath); pos != std::string::npos; pos = strLog.find(strPath, pos + 1))
        ++n;
    return n;
}

void RunEventLoop(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

// How an exchange fails every registration: simulator options (none: a closed port instead), the
// password the profile holds, and what the client writes to the system log for each failure.
struct CFault {
    const char* pszName;
    std::optional<std::vector<std::string>> simOptions;
    const char16_t* pszLogEntry; // null: nothing is logged
    std::string strPass = "pw";
};

const CFault kFaults[] = {
    {"unreachable", std::nullopt, u"SendRequest Exception Error"},
    {"refusing", std::vector<std::string>{}, nullptr, "wrong"},
    {"answering 500", std::vector<std::string>{"--force", "regist=all,status:500"}, nullptr},
    {"closing without a reply", std::vector<std::string>{"--force", "regist=all,close"},
     u"QueryInfoStatusCode Exception Error"},
    {"closing mid-body", std::vector<std::string>{"--force", "regist=all,cut,body:NG;DB Connect Error"},
     u"Read Exception Error"},
    {"answering past the time-out", std::vector<std::string>{"--force", "regist=all,delay:1500"},
     u"QueryInfoStatusCode Exception Error"},
};

// An exchange for one fault: the simulator (account 2001:pw) or a closed port.
struct CFaultyExchange {
    explicit CFaultyExchange(const CFault& fault) {
        if (fault.simOptions) {
            std::vector<std::string> options{"--account", "2001:pw"};
            options.insert(options.end(), fault.simOptions->begin(), fault.simOptions->end());
            pSim = std::make_unique<CSimProcess>(options);
        }
    }
    std::string HostPort() const { return pSim ? pSim->HostPort() : closed.HostPort(); }

    CClosedTcpPort closed;
    std::unique_ptr<CSimProcess> pSim;
};

class ExchangeFaultTest : public TrayFixture {
protected:
    // The tray controller over a transport whose time-out is short, so that an exchange that answers
    // too late is given up on in half a second, as the program's 30 s time-out would be.
    void CreateFor(const CFaultyExchange& exchange, const CFault& fault) {
        m_profile.WriteProfileString(kSectionSettings, u"PBX", Utf8ToU16(exchange.HostPort()));
        m_profile.WriteProfileString(kSectionSettings, u"Pass", Utf8ToU16(fault.strPass));
        m_pApp = std::make_unique<CKIVODialerApp>(
            CPlatform{m_profile, m_shortHttp, m_log, m_box, *m_pInstance, *m_pInstance, m_codePage, m_clock});
        ASSERT_TRUE(m_pApp->InitInstance(u""));
        m_pWnd = std::make_unique<CTestWnd>(*m_pApp);
        ASSERT_TRUE(m_pWnd->CreateMainWindow());
        m_pApp->m_pMainWnd = m_pWnd.get();
    }

    // A click on the icon, and the event loop running as it does between attempts: the click timer
    // fires and the menu opens.
    // The message boxes tell their last text only: start from a text of no box of the program.
    void ForgetLastMessage() {
        CQtMessageBox::SetNextAnswer(IDOK);
        m_box.MessageBox(u"-", u"-", MB_OK);
    }

    bool ClickOpensTheMenu() {
        m_pWnd->OnTrayNotify(kTrayIconId, WM_LBUTTONUP);
        RunEventLoop(350ms);
        const bool bShown = m_pWnd->LeftClickMenu()->isVisible();
        m_pWnd->LeftClickMenu()->hide();
        return bShown;
    }

    CPosixHttpTransport m_shortHttp{300ms, 500ms};
};

} // namespace

TEST_F(ExchangeFaultTest, EveryFaultGetsFiveAttemptsTenSecondsApartWhileTheProgramStaysResponsive) {
    for (const CFault& fault : kFaults) {
        SCOPED_TRACE(fault.pszName);
        CFaultyExchange exchange(fault);
        ASSERT_TRUE(!exchange.pSim || exchange.pSim->IsRunning());
        m_log.m_entries.clear();
        CreateFor(exchange, fault);
        // A call that arrives while the exchange fails waits for the login.
        CUdpSender(m_profile.GetProfileInt(u"Config-UDP", u"Port-Recv", 0))
            .Send(CProgramProcess::CallText("0311112222"));
        ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return m_pWnd->m_queue.GetCount() == 1; }, 2s));

        ForgetLastMessage();
        CQtMessageBox::SetNextAnswer(IDOK);
        for (unsigned n = 1; n <= 5; ++n) {
            const auto start = std::chrono::steady_clock::now();
            ExpireRegister();
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms) << "attempt " << n;
            EXPECT_FALSE(m_pApp->m_bLogin);
            EXPECT_EQ(LoginFlag(), 0u);
            EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Logout);
            if (n < 5) {
                EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 10000) << "attempt " << n;
                EXPECT_EQ(m_pWnd->m_nRetry, n);
                EXPECT_NE(CQtMessageBox::LastText(), kRegisterGiveUpMessage);
            }
            if (n == 2) {
                EXPECT_TRUE(ClickOpensTheMenu()) << "between attempts";
            }
            m_pWnd->OnTimer(kTimerDrain);
            EXPECT_EQ(m_pWnd->m_queue.GetCount(), 1u) << "the call waits while not logged in";
        }
        EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 0) << "given up";
        EXPECT_EQ(m_pWnd->m_nRetry, 0u);
        EXPECT_EQ(CQtMessageBox::LastText(), kRegisterGiveUpMessage);
        EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000) << "the channel goes on";
        EXPECT_TRUE(ClickOpensTheMenu()) << "after giving up";
        const std::vector<std::u16string> expected(fault.pszLogEntry ? 5 : 0,
                                                   fault.pszLogEntry ? fault.pszLogEntry : u"");
        EXPECT_EQ(m_log.m_entries, expected);

        if (exchange.pSim) {
            EXPECT_EQ(CountRequests(*exchange.pSim, "regist"), 5);
            // The exchange recovers; the next registration (the settings' OK schedules one) logs in and
            // the waiting call comes through.
            exchange.pSim->Get("/_sim/force/clear");
            m_pApp->m_strPass = u"pw";
            m_pWnd->ScheduleRegister(1000);
            ExpireRegister();
            EXPECT_TRUE(m_pApp->m_bLogin);
            EXPECT_EQ(LoginFlag(), 1u);
            m_pWnd->OnTimer(kTimerDrain);
            ASSERT_EQ(m_pWnd->GetCdrList().size(), 1u);
            EXPECT_EQ(m_pWnd->GetCdrList().back().strNumber, u"0311112222");
        }
        m_pWnd.reset();
        m_pApp.reset();
        m_profile.Erase(kSectionCdr, u"CallNum1");
    }
}

// The real program with the real 30 s time-out: each failing exchange at the first registration, two
// seconds after the start. The program keeps running, does not retry before its 10 s, holds the call that
// came meanwhile (in the history once it ends), and a SIGTERM between attempts ends it at once and cleanly.
TEST(ExchangeFaultProgramTest, AFailedFirstRegistrationLeavesTheProgramReadyToEnd) {
    struct CRun {
        explicit CRun(const CFault& f) : fault(f), exchange(f), nUdpPort(CProgramProcess::FreeUdpPort()) {}
        const CFault& fault;
        CFaultyExchange exchange;
        int nUdpPort;
        CProgramProcess program;
    };
    std::vector<std::unique_ptr<CRun>> runs;
    for (const CFault& fault : kFaults) {
        if (std::string(fault.pszName) == "answering past the time-out")
            continue; // would hold the program for the real 30 s; the controller test above has it
        runs.push_back(std::make_unique<CRun>(fault));
        CRun& run = *runs.back();
        run.program.WriteProfile(
            CProgramProcess::Profile(run.exchange.HostPort(), run.nUdpPort, run.fault.strPass));
        ASSERT_TRUE(run.program.Start()) << fault.pszName;
    }
    // The shared login flag reads 1 from the icon's creation until the first attempt has failed.
    std::vector<int> seen(runs.size(), 0); // 0 nothing yet, 1 logged in, 2 then logged out
    CProgramProcess::WaitUntil(
        [&] {
            for (size_t i = 0; i < runs.size(); ++i) {
                const long nFlag = runs[i]->program.LoginFlag();
                if ((seen[i] == 0 && nFlag == 1) || (seen[i] == 1 && nFlag == 0))
                    ++seen[i];
            }
            return std::count(seen.begin(), seen.end(), 2) == static_cast<long>(seen.size());
        },
        8s);
    for (size_t i = 0; i < runs.size(); ++i) {
        ASSERT_EQ(seen[i], 2) << runs[i]->fault.pszName << "\n" << runs[i]->program.Log();
        CUdpSender(runs[i]->nUdpPort).Send(CProgramProcess::CallText("0322223333"));
    }
    std::this_thread::sleep_for(1500ms); // a drain tick or more, and well short of the 10 s retry
    for (auto& pRun : runs) {
        CRun& run = *pRun;
        SCOPED_TRACE(run.fault.pszName);
        ASSERT_TRUE(run.program.IsRunning()) << run.program.Log();
        if (run.exchange.pSim) {
            EXPECT_EQ(CountRequests(*run.exchange.pSim, "regist"), 1);
        }
        const auto start = std::chrono::steady_clock::now();
        run.program.Signal(SIGTERM);
        ASSERT_TRUE(run.program.WaitForExit(3000));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
        EXPECT_TRUE(run.program.EndedCleanly()) << run.program.Log();
        // The call waited for a login that never came; at the end it goes into the history all the same.
        EXPECT_EQ(run.program.StoredNumbers(), std::vector<std::string>{"0322223333"});
        QSettings profile(QString::fromStdString(run.program.ProfilePath()), QSettings::IniFormat);
        EXPECT_EQ(profile.value("Config-UDP/Port-Recv").toInt(), run.nUdpPort) << "the channel was stopped";
    }
}

// An exchange that takes three seconds to accept: the program's interface thread waits for it, the
// channel's worker does not, so the calls that arrive meanwhile all come through afterwards, in order.
TEST(ExchangeFaultProgramTest, CallsThatArriveDuringASlowReplyAreHandledAfterIt) {
    CSimProcess sim({"--account", "2001:pw", "--force", "regist=delay:3000"});
    ASSERT_TRUE(sim.IsRunning());
    const int nUdpPort = CProgramProcess::FreeUdpPort();
    CProgramProcess program;
    program.WriteProfile(CProgramProcess::Profile(sim.HostPort(), nUdpPort));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return CountRequests(sim, "regist") == 1; }, 6s));
    std::this_thread::sleep_for(300ms);
    CUdpSender sender(nUdpPort);
    for (const char* pszNumber : {"0300000001", "0300000002", "0300000003"})
        sender.Send(CProgramProcess::CallText(pszNumber));
    EXPECT_TRUE(program.StoredNumbers().empty()) << "nothing is handled while the reply is awaited";

    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return program.StoredNumbers().size() == 3; }, 8s))
        << program.Log();
    EXPECT_EQ(program.StoredNumbers(), (std::vector<std::string>{"0300000001", "0300000002", "0300000003"}));
    EXPECT_EQ(program.LoginFlag(), 1);
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(3000));
    EXPECT_TRUE(program.EndedCleanly()) << program.Log();
}
