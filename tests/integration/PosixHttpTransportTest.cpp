// The socket transport itself against raw servers on loopback: the request as it goes out, directly and
// through a proxy of the environment, the reply framings seen over a real connection, and the requests
// it refuses to make. The web API client's view of the failure points is in PbxWebClientTest.
#include "platform/posix/PosixHttpTransport.h"

#include "tests/support/RawTcpServer.h"
#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

using namespace std::chrono_literals;

namespace {

using EFailPoint = CHttpReply::EFailPoint;

const char kUserAgent[] = "KIVODialer Browser";

// Answers every request with the same bytes, then closes or holds the connection; counts connections.
class CCannedServer {
public:
    explicit CCannedServer(std::string reply, bool bHold = false, const char* pszAddress = "127.0.0.1")
        : m_reply(std::move(reply)), m_bHold(bHold), m_server(
                                                         [this](int fd, const std::atomic<bool>& bStop) {
                                                             ++m_nConnections;
                                                             CRawTcpServer::Write(fd, m_reply);
                                                             if (m_bHold)
                                                                 CRawTcpServer::Stall(bStop, 3000);
                                                         },
                                                         pszAddress) {}
    unsigned short Port() const { return m_server.Port(); }
    std::string LastRequest() const { return m_server.LastRequest(); }
    int Connections() const { return m_nConnections; }

private:
    std::string m_reply;
    bool m_bHold;
    std::atomic<int> m_nConnections{0};
    CRawTcpServer m_server;
};

bool HasIPv6Loopback() {
    const int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    const bool bOk = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return bOk;
}

// A canned reply and what the transport must make of it.
struct CReplyCase {
    const char* pszName;
    std::string reply;
    EFailPoint eFail;
    long nStatus;
    std::string body;
    bool bReadFailed;
};

void ExpectReply(const CHttpReply& reply, const CReplyCase& c) {
    EXPECT_EQ(reply.eFail, c.eFail) << c.pszName;
    EXPECT_EQ(reply.bException, c.eFail != EFailPoint::None) << c.pszName;
    EXPECT_EQ(reply.nStatus, c.nStatus) << c.pszName;
    EXPECT_EQ(reply.body, c.body) << c.pszName;
    EXPECT_EQ(reply.bReadFailed, c.bReadFailed) << c.pszName;
}

class PosixHttpTransport : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* pszName : {"http_proxy", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            m_env.Set(pszName, std::nullopt);
    }
    void UseProxy(unsigned short nPort, const std::string& strUserInfo = "") {
        m_env.Set("http_proxy", "http://" + strUserInfo + "127.0.0.1:" + std::to_string(nPort));
    }

    CScopedEnv m_env;
    CPosixHttpTransport m_transport{300ms, 1000ms};
};

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK";

} // namespace

// The whole head, byte for byte: no Accept header, the target untouched but for its fragment.
TEST_F(PosixHttpTransport, TheRequestAsItGoesOut) {
    CCannedServer server(kOk);
    const std::string strPort = std::to_string(server.Port());
    const struct {
        std::string target;
        std::string requestLine;
    } cases[] = {
        {"/manager/kivodialer/regist?callid=2001&x=%41",
         "GET /manager/kivodialer/regist?callid=2001&x=%41 HTTP/1.1"},
        {"/a/../b/./c//d?e=../f", "GET /a/../b/./c//d?e=../f HTTP/1.1"},
        {"/call?dialno=03#fragment", "GET /call?dialno=03 HTTP/1.1"},
        {"?q=1", "GET /?q=1 HTTP/1.1"},
        {"", "GET / HTTP/1.1"},
        {"/\xE5\xB1\xB1", "GET /\xE5\xB1\xB1 HTTP/1.1"},
    };
    for (const auto& c : cases) {
        const CHttpReply reply = m_transport.Get("127.0.0.1", server.Port(), c.target, kUserAgent);
        EXPECT_EQ(reply.nStatus, 200) << c.target;
        EXPECT_EQ(server.LastRequest(), c.requestLine + "\r\nHost: 127.0.0.1:" + strPort +
                                            "\r\nUser-Agent: KIVODialer Browser\r\n\r\n");
    }
    m_transport.Get("127.0.0.1", server.Port(), "/", "");
    EXPECT_EQ(server.LastRequest(), "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + strPort + "\r\n\r\n");
    EXPECT_EQ(server.Connections(), static_cast<int>(std::size(cases)) + 1) << "a connection per request";
}

TEST_F(PosixHttpTransport, AnIPv6LiteralIsReachedAndNamedInBrackets) {
    if (!HasIPv6Loopback())
        GTEST_SKIP() << "no IPv6 loopback";
    CCannedServer server(kOk, false, "::1");
    const CHttpReply reply = m_transport.Get("::1", server.Port(), "/x", kUserAgent);
    EXPECT_EQ(reply.eFail, EFailPoint::None);
    EXPECT_EQ(reply.body, "OK");
    EXPECT_EQ(server.LastRequest(), "GET /x HTTP/1.1\r\nHost: [::1]:" + std::to_string(server.Port()) +
                                        "\r\nUser-Agent: KIVODialer Browser\r\n\r\n");
}

// The proxy is asked for the absolute URL; the exchange's name is never looked up here.
TEST_F(PosixHttpTransport, ThroughAProxyTheTargetIsTheWholeUrl) {
    CCannedServer proxy(kOk);
    UseProxy(proxy.Port());
    const struct {
        std::string host;
        unsigned short nPort;
        std::string requestLine, hostHeader;
    } cases[] = {
        {"kivo-pbx.invalid", 80, "GET http://kivo-pbx.invalid/r?a=1 HTTP/1.1", "kivo-pbx.invalid"},
        {"kivo-pbx.invalid", 8080, "GET http://kivo-pbx.invalid:8080/r?a=1 HTTP/1.1",
         "kivo-pbx.invalid:8080"},
        {"fd00::5", 8080, "GET http://[fd00::5]:8080/r?a=1 HTTP/1.1", "[fd00::5]:8080"},
    };
    for (const auto& c : cases) {
        const CHttpReply reply = m_transport.Get(c.host, c.nPort, "/r?a=1#frag", kUserAgent);
        EXPECT_EQ(reply.body, "OK") << c.host;
        EXPECT_EQ(proxy.LastRequest(),
                  c.requestLine + "\r\nHost: " + c.hostHeader + "\r\nUser-Agent: KIVODialer Browser\r\n\r\n");
    }

    // Credentials in the setting go to the proxy, decoded and in Basic form.
    UseProxy(proxy.Port(), "kivo:p%40ss@");
    m_transport.Get("kivo-pbx.invalid", 8080, "/r", kUserAgent);
    EXPECT_EQ(proxy.LastRequest(),
              "GET http://kivo-pbx.invalid:8080/r HTTP/1.1\r\nHost: kivo-pbx.invalid:8080\r\n"
              "Proxy-Authorization: Basic a2l2bzpwQHNz\r\n"
              "User-Agent: KIVODialer Browser\r\n\r\n");
}

// Loopback is not exempt by itself; no_proxy sends what it lists directly.
TEST_F(PosixHttpTransport, NoProxyChoosesTheDirectWay) {
    CCannedServer proxy(kOk);
    CCannedServer exchange("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\ndirect");
    UseProxy(proxy.Port());
    const struct {
        std::optional<std::string> noProxy;
        bool bDirect;
    } cases[] = {
        {std::nullopt, false},      {"localhost", false}, {"127.0.0.1", true},
        {"pbx, 127.0.0.0/8", true}, {"*", true},          {"127.0.0.2", false},
    };
    for (const auto& c : cases) {
        m_env.Set("no_proxy", c.noProxy);
        const CHttpReply reply = m_transport.Get("127.0.0.1", exchange.Port(), "/r", kUserAgent);
        EXPECT_EQ(reply.body, c.bDirect ? "direct" : "OK") << c.noProxy.value_or("(unset)");
    }
}

// A proxy that cannot be used or reached: nothing is sent to anyone.
TEST_F(PosixHttpTransport, AProxyThatFailsFailsAtSending) {
    CCannedServer exchange(kOk);
    CCannedServer socks(kOk);
    const int closedFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(bind(closedFd, reinterpret_cast<sockaddr*>(&addr), len), 0);
    getsockname(closedFd, reinterpret_cast<sockaddr*>(&addr), &len);

    const std::string proxies[] = {
        "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)), // refused
        "socks5://127.0.0.1:" + std::to_string(socks.Port()),       // not an HTTP proxy
        "http://kivo-proxy.invalid:3128",                           // no such name
        "http://127.0.0.1:99999",                                   // no such port
    };
    for (const std::string& strProxy : proxies) {
        m_env.Set("http_proxy", strProxy);
        const CHttpReply reply = m_transport.Get("127.0.0.1", exchange.Port(), "/r", kUserAgent);
        EXPECT_EQ(reply.eFail, EFailPoint::Send) << strProxy;
        EXPECT_TRUE(reply.bException) << strProxy;
    }
    EXPECT_EQ(exchange.Connections() + socks.Connections(), 0);
    close(closedFd);
}

// Requests that cannot be written as a request line and Host header are not made at all.
TEST_F(PosixHttpTransport, ARequestThatCannotBeWrittenIsNotMade) {
    CCannedServer server(kOk);
    const struct {
        std::string host, target, userAgent;
    } cases[] = {
        {"127.0.0.1", "/a b", kUserAgent},
        {"127.0.0.1", "/a\tb", kUserAgent},
        {"127.0.0.1", "/a\r\nHost: x", kUserAgent},
        {"127.0.0.1", std::string("/a\0b", 4), kUserAgent},
        {"127.0.0.1", "/a\x7f", kUserAgent},
        {"127.0.0.1", "@127.0.0.2/", kUserAgent},
        {"127.0.0.1", "x/", kUserAgent},
        {"", "/", kUserAgent},
        {"127.0.0.1/x", "/", kUserAgent},
        {"user@127.0.0.1", "/", kUserAgent},
        {"127.0.0.1 ", "/", kUserAgent},
        {"127.0.0.1:80", "/", kUserAgent},
        {"[::1]", "/", kUserAgent},
        {"127.0.0.1", "/", "agent\r\nX-Injected: 1"},
    };
    for (const auto& c : cases) {
        const CHttpReply reply = m_transport.Get(c.host, server.Port(), c.target, c.userAgent);
        EXPECT_EQ(reply.eFail, EFailPoint::OpenRequest) << c.host << " " << c.target;
        EXPECT_TRUE(reply.bException);
    }
    EXPECT_EQ(m_transport.Get("127.0.0.1", 0, "/", kUserAgent).eFail, EFailPoint::OpenRequest);
    EXPECT_EQ(server.Connections(), 0);
}

// Replies over a real connection that stays open afterwards: the reply's own framing ends it, and
// what cannot be a reply ends it at once instead of at the time-out.
TEST_F(PosixHttpTransport, RepliesEndByTheirFramingNotByTheTimeOut) {
    const std::string kPad = "X-Pad: " + std::string(1000, 'p') + "\r\n";
    std::string endlessHead = "HTTP/1.1 200 OK\r\n";
    while (endlessHead.size() < 70 * 1024)
        endlessHead += kPad;
    const CReplyCase cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nCall_OK", EFailPoint::None, 200, "Call_OK",
         false},
        {"interim replies, then chunked with extensions and trailer",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 200 OK\r\nTransfer-Encoding: "
         "chunked\r\n\r\n4;x=y\r\nCall\r\n3\r\n_OK\r\n0\r\nX-Trailer: 1\r\n\r\n",
         EFailPoint::None, 200, "Call_OK", false},
        {"switching protocols", "HTTP/1.1 101 Switching Protocols\r\nUpgrade: x\r\n\r\n", EFailPoint::None,
         101, "", false},
        {"503 without its headers", "HTTP/1.1 503 Busy\r\n", EFailPoint::None, 503, "", false},
        {"not HTTP", "SSH-2.0-OpenSSH_9.2\r\n", EFailPoint::QueryStatus, 0, "", false},
        {"endless head", endlessHead, EFailPoint::QueryStatus, 0, "", false},
        {"broken chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\nxyz\r\n",
         EFailPoint::None, 200, "OK", true},
        {"bad length", "HTTP/1.1 200 OK\r\nContent-Length: 0x10\r\n\r\nOK", EFailPoint::None, 200, "", true},
    };
    for (const auto& c : cases) {
        CCannedServer server(c.reply, true);
        const auto start = std::chrono::steady_clock::now();
        const CHttpReply reply = m_transport.Get("127.0.0.1", server.Port(), "/r", kUserAgent);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << c.pszName;
        ExpectReply(reply, c);
    }
}

// Replies that the close ends, well or badly.
TEST_F(PosixHttpTransport, RepliesThatTheCloseEnds) {
    const CReplyCase cases[] = {
        {"HTTP/1.0 up to the close", "HTTP/1.0 200 OK\r\n\r\nLogin_OK,1,x\r\n", EFailPoint::None, 200,
         "Login_OK,1,x\r\n", false},
        {"head cut", "HTTP/1.1 200 OK\r\nContent-Len", EFailPoint::QueryStatus, 0, "", false},
        {"only an interim reply", "HTTP/1.1 100 Continue\r\n\r\n", EFailPoint::QueryStatus, 0, "", false},
        {"chunked without its last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\n",
         EFailPoint::None, 200, "OK", true},
    };
    for (const auto& c : cases) {
        CCannedServer server(c.reply);
        ExpectReply(m_transport.Get("127.0.0.1", server.Port(), "/r", kUserAgent), c);
    }
}
