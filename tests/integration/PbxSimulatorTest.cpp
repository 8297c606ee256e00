// The exchange simulator as a separate process: web API, forced replies, request log, manager login and
// incoming-call datagrams, all over real loopback sockets.
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "SimProcess.h"

namespace {

const httplib::Headers kAgent = {{"User-Agent", "KIVODialer Browser"}};

std::vector<std::string> Split(const std::string& strText, char chSep) {
    std::vector<std::string> parts;
    std::stringstream stream(strText);
    for (std::string strPart; std::getline(stream, strPart, chSep);)
        parts.push_back(strPart);
    return parts;
}

// A workstation's notification port: a UDP socket on 127.0.0.1 and a free port.
class CUdpReceiver {
public:
    CUdpReceiver() {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t nLen = sizeof addr;
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), nLen);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &nLen);
        m_nPort = ntohs(addr.sin_port);
    }
    ~CUdpReceiver() { close(m_fd); }
    int Port() const { return m_nPort; }

    std::optional<std::string> Receive(int nTimeoutMs = 2000) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (poll(&pfd, 1, nTimeoutMs) <= 0)
            return std::nullopt;
        char buf[8192];
        ssize_t n = recv(m_fd, buf, sizeof buf, 0);
        return n < 0 ? std::nullopt : std::optional<std::string>(std::string(buf, static_cast<size_t>(n)));
    }

private:
    int m_fd = -1;
    int m_nPort = 0;
};

class PbxSimulatorTest : public ::testing::Test {
protected:
    CSimProcess m_sim{{"--account", "2001:secret", "--account", "3001:x y"}};

    void SetUp() override { ASSERT_TRUE(m_sim.IsRunning()); }

    std::string Body(const std::string& strTarget) { return m_sim.Get(strTarget, kAgent).m_strBody; }
    std::string Regist(const std::string& strUser, const std::string& strPass, int nPort = 10640) {
        return Body("/manager/kivodialer/regist?callid=" + strUser + "&passwd=" + strPass +
                    "&port=" + std::to_string(nPort) + "&type=0");
    }
    std::string Call(const std::string& strDialNo) {
        return Body("/manager/kivodialer/call?callid=2001&passwd=secret&dialno=" + strDialNo + "&cbtime=30");
    }
};

TEST_F(PbxSimulatorTest, WebApiAnswersByAccountAndLogsEveryRequest) {
    struct {
        const char* pszTarget;
        const char* pszBody;
    } cases[] = {
        {"/manager/kivodialer/regist?callid=2001&passwd=secret&port=10640&type=0", "OK"},
        {"/manager/kivodialer/regist?callid=2001&passwd=Secret&port=10640&type=0", "NG;Auth NG"},
        {"/manager/kivodialer/regist?callid=2002&passwd=secret&port=10640&type=0", "NG;Auth NG"},
        {"/manager/kivodialer/regist?callid=3001&passwd=x+y&port=10640&type=0", "OK"},
        {"/manager/kivodialer/call?callid=2001&passwd=secret&dialno=0312345678&cbtime=30", "Call_OK"},
        {"/manager/kivodialer/call?callid=2001&passwd=secret&dialno=&cbtime=30", "Call_NG"},
        {"/manager/kivodialer/call?callid=2001&passwd=wrong&dialno=0312345678&cbtime=30", "NG;Auth NG"},
    };
    for (const auto& c : cases) {
        CSimReply reply = m_sim.Get(c.pszTarget, kAgent);
        EXPECT_EQ(reply.m_nStatus, 200) << c.pszTarget;
        EXPECT_EQ(reply.m_strBody, c.pszBody) << c.pszTarget;
        EXPECT_EQ(reply.Header("Content-Type"), "text/plain; charset=utf-8");
    }
    m_sim.Get("/manager/kivodialer/regist?callid=2001&passwd=%41%2B", {{"User-Agent", "other"}});
    // A raw space breaks the request line: answered 400, still logged.
    EXPECT_EQ(m_sim.Get("/manager/kivodialer/regist?callid=3001&passwd=x y&port=1").m_nStatus, 400);

    // A request httplib could not parse is logged after its reply went out: give it a moment.
    std::vector<std::string> lines;
    for (int i = 0; i < 100 && lines.size() < std::size(cases) + 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(i == 0 ? 0 : 10));
        lines = Split(Body("/_sim/log"), '\n');
    }
    ASSERT_EQ(lines.size(), std::size(cases) + 2) << "control requests are not logged";
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::vector<std::string> fields = Split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 6u) << lines[i];
        EXPECT_EQ(fields[1].rfind("127.0.0.1:", 0), 0u) << lines[i];
        EXPECT_EQ(fields[2], "GET");
        EXPECT_EQ(fields[3] + "?" + fields[4], cases[i].pszTarget);
        EXPECT_EQ(fields[5], "KIVODialer Browser");
    }
    std::vector<std::string> other = Split(lines[std::size(cases)], '\t');
    EXPECT_EQ(other[4], "callid=2001&passwd=%41%2B") << "the query is logged as received";
    EXPECT_EQ(other[5], "other");
    std::vector<std::string> broken = Split(lines.back(), '\t');
    ASSERT_GE(broken.size(), 5u);
    EXPECT_EQ(broken[1], "-");
    EXPECT_EQ(broken[4], "callid=3001&passwd=x");

    EXPECT_EQ(Body("/_sim/log/clear"), "cleared\n");
    EXPECT_EQ(Body("/_sim/log"), "");
}

TEST_F(PbxSimulatorTest, RemembersOnlyAcceptedRegistrations) {
    Regist("2001", "wrong", 5000);
    EXPECT_EQ(Body("/_sim/registrations"), "");
    Regist("2001", "secret", 10640);
    Regist("2001", "secret", 10650); // the latest registration counts
    EXPECT_EQ(Body("/_sim/registrations"), "2001\t127.0.0.1\t10650\n");
}

TEST_F(PbxSimulatorTest, ForcedRepliesAreUsedUpInOrder) {
    EXPECT_EQ(m_sim.Get("/_sim/force?kind=call&body=Call_NG&count=2").m_nStatus, 200);
    EXPECT_EQ(m_sim.Get("/_sim/force?kind=call&body=NG;DB%20Connect%20Error").m_nStatus, 200);
    EXPECT_EQ(Call("1"), "Call_NG");
    EXPECT_EQ(Call("1"), "Call_NG");
    EXPECT_EQ(Call("1"), "NG;DB Connect Error");
    EXPECT_EQ(Call("1"), "Call_OK");

    // A forced regist reply leaves call replies alone, and "all" lasts until cleared.
    m_sim.Get("/_sim/force?kind=regist&status=404&count=all");
    EXPECT_EQ(Call("1"), "Call_OK");
    for (int i = 0; i < 3; ++i) {
        CSimReply reply = m_sim.Get("/manager/kivodialer/regist?callid=2001&passwd=secret&port=1&type=0");
        EXPECT_EQ(reply.m_nStatus, 404);
        EXPECT_EQ(reply.m_strBody, "OK") << "the normal body goes with a forced status";
    }
    EXPECT_EQ(Body("/_sim/force/list"), "regist: status=404 delay=0 shape=normal count=all body=(normal)\n");
    m_sim.Get("/_sim/force/clear?kind=regist");
    EXPECT_EQ(m_sim.Get("/manager/kivodialer/regist?callid=2001&passwd=secret&port=1&type=0").m_nStatus, 200);
}

TEST_F(PbxSimulatorTest, RejectsBadForceRequests) {
    for (const char* pszQuery : {"kind=dial&status=500", "status=500", "kind=call&status=99",
                                 "kind=call&shape=broken", "kind=call&delay=-1", "kind=call&colour=red"}) {
        EXPECT_EQ(m_sim.Get(std::string("/_sim/force?") + pszQuery).m_nStatus, 400) << pszQuery;
    }
    EXPECT_EQ(Body("/_sim/force/list"), "");
}

TEST_F(PbxSimulatorTest, SlowReplyWaitsTheGivenTime) {
    m_sim.Get("/_sim/force?kind=call&delay=300");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Call("1"), "Call_OK");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(PbxSimulatorTest, CutReplyDeclaresMoreThanItSends) {
    m_sim.Get("/_sim/force?kind=regist&shape=cut&body=OK");
    std::string strRaw = m_sim.RawGet("/manager/kivodialer/regist?callid=2001&passwd=secret&port=1&type=0");
    size_t nBody = strRaw.find("\r\n\r\n");
    ASSERT_NE(nBody, std::string::npos) << strRaw;
    EXPECT_EQ(strRaw.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << strRaw;
    EXPECT_NE(strRaw.find("Content-Length: 102\r\n"), std::string::npos) << strRaw;
    EXPECT_EQ(strRaw.substr(nBody + 4), "OK");
}

TEST_F(PbxSimulatorTest, ClosedReplySendsNothing) {
    m_sim.Get("/_sim/force?kind=call&shape=close&count=2");
    EXPECT_EQ(m_sim.RawGet("/manager/kivodialer/call?callid=2001&passwd=secret&dialno=1&cbtime=30"), "");
    CSimReply reply = m_sim.Get("/manager/kivodialer/call?callid=2001&passwd=secret&dialno=1&cbtime=30");
    EXPECT_EQ(reply.m_nStatus, 0);
    EXPECT_NE(reply.m_eError, httplib::Error::Success);
    EXPECT_EQ(Call("1"), "Call_OK") << "the simulator goes on serving";
}

TEST_F(PbxSimulatorTest, BigReplyStartsWithTheBodyAndExceedsOneReadChunk) {
    m_sim.Get("/_sim/force?kind=regist&shape=big");
    m_sim.Get("/_sim/force?kind=call&shape=big&size=5000&body=Call_OK");
    std::string strRegist = Regist("2001", "secret");
    EXPECT_EQ(strRegist, "OK" + std::string(8190, '.'));
    std::string strCall = Call("1");
    EXPECT_EQ(strCall, "Call_OK" + std::string(4993, '.'));
}

TEST(PbxSimulatorOptionsTest, ForceFromTheCommandLine) {
    CSimProcess sim({"--force", "regist=status:500", "--force", "call=count:2,body:Login_OK,1,A"});
    ASSERT_TRUE(sim.IsRunning());
    const std::string strRegist = "/manager/kivodialer/regist?callid=2001&passwd=2001&port=1&type=0";
    EXPECT_EQ(sim.Get(strRegist).m_nStatus, 500);
    EXPECT_EQ(sim.Get(strRegist).m_strBody, "OK") << "the default account is 2001/2001";
    const std::string strCall = "/manager/kivodialer/call?callid=2001&passwd=2001&dialno=1&cbtime=30";
    EXPECT_EQ(sim.Get(strCall).m_strBody, "Login_OK,1,A") << "body: takes the commas";
    EXPECT_EQ(sim.Get(strCall).m_strBody, "Login_OK,1,A");
    EXPECT_EQ(sim.Get(strCall).m_strBody, "Call_OK");
}

TEST(PbxSimulatorOptionsTest, BadOptionEndsTheProgram) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--force", "regist=status:abc"},
                                          {"--account", "nopassword"},
                                          {"--colour", "red"}}) {
        CSimProcess sim(args);
        EXPECT_FALSE(sim.IsRunning()) << args[0];
        EXPECT_EQ(sim.Stop(), 2) << args[0];
    }
}

TEST(PbxSimulatorOptionsTest, LogFileGetsTheSameLines) {
    std::string strPath = ::testing::TempDir() + "kivo-pbx-sim-test-" + std::to_string(getpid()) + ".log";
    unlink(strPath.c_str());
    std::string strLog;
    {
        CSimProcess sim({"--log", strPath});
        ASSERT_TRUE(sim.IsRunning());
        sim.Get("/manager/kivodialer/regist?callid=2001&passwd=2001&port=1&type=0");
        sim.Get("/manager/");
        sim.Get("/_sim/log/clear");
        sim.Get("/cdr");
        strLog = sim.Get("/_sim/log").m_strBody;
        EXPECT_EQ(sim.Stop(), 0);
    }
    std::ifstream file(strPath);
    std::string strFile((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    unlink(strPath.c_str());
    EXPECT_EQ(Split(strFile, '\n').size(), 3u) << strFile;
    EXPECT_TRUE(strFile.ends_with(strLog)) << "the file keeps what the clear dropped";
}

TEST(PbxSimulatorOptionsTest, TerminationEndsSlowRepliesAndExitsCleanly) {
    CSimProcess sim;
    ASSERT_TRUE(sim.IsRunning());
    sim.Get("/_sim/force?kind=call&delay=60000");
    std::thread client(
        [&] { sim.Get("/manager/kivodialer/call?callid=2001&passwd=2001&dialno=1&cbtime=30"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    client.join();
}

TEST(PbxSimulatorLoginTest, RedirectsOnGoodCredentials) {
    CSimProcess sim({"--account", "テスト:pass word", "--account", "2001:"});
    ASSERT_TRUE(sim.IsRunning());
    struct {
        const char* pszQuery;
        const char* pszLocation; // empty: the failed-login page
    } cases[] = {
        {"username=2001&password=&redirecturl=%2Faddrbook", "/addrbook"},
        {"username=2001&password=&redirecturl=%2Fcdr", "/cdr"},
        {"username=%83e%83X%83g&password=pass+word&redirecturl=%2Fcdr", "/cdr"}, // code page 932
        {"username=%E3%83%86%E3%82%B9%E3%83%88&password=pass%20word&redirecturl=%2Fcdr", "/cdr"}, // UTF-8
        {"username=2001&password=&redirecturl=%2F%2Fexample.invalid", "/manager/"}, // stays on this host
        {"username=2001&password=x&redirecturl=%2Faddrbook", ""},
        {"username=%83e%83X%83g&password=pass&redirecturl=%2Fcdr", ""},
        {"username=&password=&redirecturl=%2Fcdr", ""},
    };
    for (const auto& c : cases) {
        CSimReply reply = sim.Get(std::string("/manager/login?") + c.pszQuery);
        if (*c.pszLocation) {
            EXPECT_EQ(reply.m_nStatus, 302) << c.pszQuery;
            EXPECT_EQ(reply.Header("Location"), c.pszLocation) << c.pszQuery;
        } else {
            EXPECT_EQ(reply.m_nStatus, 200) << c.pszQuery;
            EXPECT_NE(reply.m_strBody.find("ログインに失敗しました。"), std::string::npos) << c.pszQuery;
        }
    }
    for (const char* pszPage : {"/manager/", "/addrbook", "/cdr"}) {
        CSimReply reply = sim.Get(pszPage);
        EXPECT_EQ(reply.m_nStatus, 200) << pszPage;
        EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=utf-8") << pszPage;
    }
}

TEST_F(PbxSimulatorTest, NotifySendsTheDatagramToTheRegisteredPort) {
    CUdpReceiver workstation;
    ASSERT_EQ(Regist("2001", "secret", workstation.Port()), "OK");

    CSimReply reply = m_sim.Get("/_sim/notify?account=2001&number=0312345678&name=%E5%B1%B1%E7%94%B0"
                                "&supp=Sales&title=%E7%9D%80%E4%BF%A1&prefix=0&line1=L1&line2=L2");
    EXPECT_EQ(reply.m_nStatus, 200) << reply.m_strBody;
    EXPECT_EQ(workstation.Receive(), "request\t2001\t\t0312345678\t\xE5\xB1\xB1\xE7\x94\xB0\tSales\t\t\xE7"
                                     "\x9D\x80\xE4\xBF\xA1\t0\tL1\tL2\t");

    m_sim.Get("/_sim/notify?account=2001");
    EXPECT_EQ(workstation.Receive(), "request\t2001\t\t\t\t\t\t\t\t\t\t");

    // Arbitrary bytes, several times, to an explicit loopback port.
    CUdpReceiver other;
    reply = m_sim.Get("/_sim/notify?raw=requpstate%09a%00b%83&count=2&to=127.0.0.1:" +
                      std::to_string(other.Port()));
    EXPECT_EQ(reply.m_strBody,
              "sent 2 datagram(s) of 15 bytes to 127.0.0.1:" + std::to_string(other.Port()) + "\n");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(other.Receive(), std::string("requpstate\ta\0b\x83", 15));
    EXPECT_EQ(workstation.Receive(100), std::nullopt);
}

TEST_F(PbxSimulatorTest, NotifyRefusesUnknownAccountsAndOtherMachines) {
    struct {
        const char* pszQuery;
        int nStatus;
    } cases[] = {
        {"account=2001&number=1", 404}, // not registered
        {"number=1", 400},
        {"account=2001&to=192.0.2.5:10640", 403},
        {"account=2001&to=localhost:10640", 403}, // names are not looked up
        {"account=2001&to=[::2]:10640", 403},
        {"account=2001&to=127.0.0.1:0", 403},
        {"account=2001&to=127.0.0.1:1&count=0", 400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_sim.Get(std::string("/_sim/notify?") + c.pszQuery).m_nStatus, c.nStatus) << c.pszQuery;
}

} // namespace
