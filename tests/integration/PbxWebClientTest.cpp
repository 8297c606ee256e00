// The web API client with the POSIX HTTP transport against real servers on loopback.
#include "pbxweb/PbxWebClient.h"

#include "app/TextUtil.h"
#include "pbxweb/ReplyTable.h"
#include "pbxweb/RequestForms.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"
#include "tests/support/RawTcpServer.h"
#include "tests/support/RecordingEventLog.h"
#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const std::u16string kRegist = FormatRegistRequest(u"201", u"secret", 10640, 0);

std::u16string Local(unsigned short nPort) {
    return u"127.0.0.1:" + ToU16Decimal(nPort);
}

std::u16string Row13(std::u16string_view reply) {
    return u"登録に失敗しました。(" + std::u16string(reply) + u")\nKIVO-PBXとの接続設定を確認してください。";
}

// A cpp-httplib server on 127.0.0.1 and an ephemeral port, served from its own thread.
class CHttpTestServer {
public:
    CHttpTestServer() {
        m_nPort = static_cast<unsigned short>(m_server.bind_to_any_port("127.0.0.1"));
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(1ms);
    }
    ~CHttpTestServer() {
        m_server.stop();
        m_thread.join();
    }
    httplib::Server& operator*() { return m_server; }
    httplib::Server* operator->() { return &m_server; }
    unsigned short Port() const { return m_nPort; }

private:
    httplib::Server m_server;
    unsigned short m_nPort = 0;
    std::thread m_thread;
};

// A loopback port bound but not listening: connecting to it is refused for as long as it is held.
class CClosedPort {
public:
    CClosedPort() {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_nPort = ntohs(addr.sin_port);
    }
    ~CClosedPort() { close(m_fd); }
    unsigned short Port() const { return m_nPort; }

private:
    int m_fd = -1;
    unsigned short m_nPort = 0;
};

class PbxWebClientOverHttp : public ::testing::Test {
protected:
    void SetUp() override {
        // The tests talk to loopback directly unless a test sets a proxy itself.
        for (const char* pszName : {"http_proxy", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            m_env.Set(pszName, std::nullopt);
    }

    bool Send(std::u16string_view server, std::u16string_view path = kRegist) {
        m_message = u"stale";
        return m_client.SendPbxRequest(server, path, m_message);
    }

    CScopedEnv m_env;
    // Short time-outs: a server that does not answer is given up on in well under a second.
    CPosixHttpTransport m_transport{300ms, 600ms};
    CRecordingEventLog m_log;
    CIconvCodePage932 m_codePage;
    CPbxWebClient m_client{m_transport, m_log, m_codePage};
    std::u16string m_message;
};

using Entries = std::vector<std::u16string>;

} // namespace

TEST_F(PbxWebClientOverHttp, RepliesOfTheExchange) {
    struct Case {
        std::string callid; // picks the answer
        int nStatus;
        std::string body;
        bool bResult;
        std::u16string message;
    } cases[] = {
        {"ok", 200, "OK\r\n", true, u"KIVO-PBXとの接続に成功しました"},
        {"call", 200, "Call_OK", true, u"発信しました。しばらくお待ち下さい。"},
        {"call1", 200, "Call_OK;1", false, Row13(u"Call_OK;1")},
        {"login", 200, "Login_OK,1,\xE5\xB1\xB1\xE7\x94\xB0\n", true, u"Login_OK,1,山田"},
        {"auth", 200, "NG;Auth NG", false, u"ユーザ認証に失敗しました。\n認証パスワードを確認して下さい。"},
        {"empty", 200, "", false, Row13(u"")},
        // Not UTF-8: Shift_JIS, read in code page 932.
        {"sjis", 200, "\x83G\x83\x89\x81[\r\n", false, Row13(u"エラー")},
        {"404", 404, "OK", false, u"リクエストに失敗しました。(404)"},
        {"500", 500, "Call_OK", false, u"リクエストに失敗しました。(500)"},
    };
    CHttpTestServer server;
    server->Get("/manager/kivodialer/regist", [&](const httplib::Request& req, httplib::Response& res) {
        for (const auto& c : cases) {
            if (req.get_param_value("callid") == c.callid) {
                res.status = c.nStatus;
                res.set_content(c.body, "text/plain; charset=UTF-8");
            }
        }
    });
    for (const auto& c : cases) {
        EXPECT_EQ(Send(Local(server.Port()), FormatRegistRequest(Utf8ToU16(c.callid), u"pw", 10640, 0)),
                  c.bResult)
            << c.callid;
        EXPECT_EQ(m_message, c.message) << c.callid;
    }
    EXPECT_EQ(m_log.m_entries, Entries{});
}

TEST_F(PbxWebClientOverHttp, ABodyInSeveralChunksIsMatchedAsOne) {
    // Only the last chunk makes the reply "Call_OK", which must be the whole text: white space before it
    // is trimmed once the chunks are one.
    const std::string chunks[] = {std::string(3000, ' '), std::string(3000, '\t'), std::string(3000, ' '),
                                  "Call_OK"};
    CHttpTestServer server;
    server->Get("/manager/kivodialer/regist", [&](const httplib::Request&, httplib::Response& res) {
        auto nNext = std::make_shared<size_t>(0);
        res.set_chunked_content_provider("text/plain", [&, nNext](size_t, httplib::DataSink& sink) {
            const std::string& chunk = chunks[(*nNext)++];
            sink.write(chunk.data(), chunk.size());
            if (*nNext == std::size(chunks))
                sink.done();
            return true;
        });
    });
    EXPECT_TRUE(Send(Local(server.Port())));
    EXPECT_EQ(m_message, u"発信しました。しばらくお待ち下さい。");
    EXPECT_EQ(m_log.m_entries, Entries{});
}

TEST_F(PbxWebClientOverHttp, TheExchangeSeesTheRequestAsBuilt) {
    CRawTcpServer server([](int fd, const std::atomic<bool>&) {
        CRawTcpServer::Write(fd, "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\nCall_OK");
    });
    EXPECT_TRUE(Send(Local(server.Port()), FormatCallRequest(u"山田 1", u"p#w&x=%41", u"*67#0312", 10)));
    const std::string head = server.LastRequest();
    EXPECT_EQ(head.substr(0, head.find("\r\n")),
              "GET /manager/kivodialer/call?callid=%E5%B1%B1%E7%94%B0%201&passwd=p%23w&x=%41"
              "&dialno=*67%230312&cbtime=10 HTTP/1.1");
    EXPECT_NE(head.find("\r\nUser-Agent: KIVODialer Browser\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos)
        << head;
    EXPECT_EQ(head.find("\r\nAccept:"), std::string::npos) << head;
}

TEST_F(PbxWebClientOverHttp, AnIPv6ExchangeIsReachedInBrackets) {
    CRawTcpServer server(
        [](int fd, const std::atomic<bool>&) {
            CRawTcpServer::Write(fd, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
        },
        "::1");
    EXPECT_TRUE(Send(u"[::1]:" + ToU16Decimal(server.Port())));
    EXPECT_NE(server.LastRequest().find("\r\nHost: [::1]:" + std::to_string(server.Port()) + "\r\n"),
              std::string::npos);
}

// Nothing could be sent: the failure shows when sending, as the platform's exception.
TEST_F(PbxWebClientOverHttp, NoConnectionFailsAtSending) {
    CClosedPort closed;
    const std::u16string servers[] = {Local(closed.Port()), u"kivo-pbx.invalid", u"kivo-pbx.invalid:8080"};
    for (const auto& s : servers) {
        m_log.m_entries.clear();
        EXPECT_FALSE(Send(s));
        EXPECT_EQ(m_message, u"サーバーへの送信に失敗しました。") << U16ToUtf8(s);
        EXPECT_EQ(m_log.m_entries, Entries{u"SendRequest Exception Error"}) << U16ToUtf8(s);
    }
}

// The request forms never produce such a target, but a caller's raw text could.
TEST_F(PbxWebClientOverHttp, ATargetThatCannotBeARequestFailsAtOpeningIt) {
    CHttpTestServer server;
    server->Get(".*",
                [](const httplib::Request&, httplib::Response& res) { res.set_content("OK", "text/plain"); });
    EXPECT_FALSE(Send(Local(server.Port()), u"/manager/kivodialer/regist?callid=a b"));
    EXPECT_EQ(m_message, u"サーバーへの接続要求に失敗しました。");
    EXPECT_EQ(m_log.m_entries, Entries{u"OpenRequest Exception Error"});
}

// A listener whose accept queue is full drops further connection attempts: connecting times out.
TEST_F(PbxWebClientOverHttp, AConnectionThatTimesOutFailsAtSending) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), len), 0);
    ASSERT_EQ(listen(fd, 0), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    const int filler = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&addr), len), 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Send(Local(ntohs(addr.sin_port))));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(m_message, u"サーバーへの送信に失敗しました。");
    EXPECT_EQ(m_log.m_entries, Entries{u"SendRequest Exception Error"});
    close(filler);
    close(fd);
}

// The request went out and the answer carried no status.
TEST_F(PbxWebClientOverHttp, NoStatusFailsAtTheStatusQuery) {
    const CRawTcpServer::Behaviour behaviours[] = {
        [](int, const std::atomic<bool>&) {}, // closed unanswered
        [](int fd, const std::atomic<bool>&) { CRawTcpServer::Write(fd, "KIVO\r\n\r\nOK"); }, // not HTTP
        [](int, const std::atomic<bool>& bStop) { CRawTcpServer::Stall(bStop); }, // past the time-out
        [](int fd, const std::atomic<bool>&) {                                    // reset
            linger lg{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
        },
    };
    int nCase = 0;
    for (const auto& behaviour : behaviours) {
        CRawTcpServer server(behaviour);
        m_log.m_entries.clear();
        EXPECT_FALSE(Send(Local(server.Port())));
        EXPECT_EQ(m_message, u"サーバーからの応答の取得に失敗しました。") << nCase;
        EXPECT_EQ(m_log.m_entries, Entries{u"QueryInfoStatusCode Exception Error"}) << nCase;
        ++nCase;
    }
}

// After a status 200, a body that breaks off is matched as far as it came, and the break is logged.
TEST_F(PbxWebClientOverHttp, ABodyCutShortIsMatchedAsFarAsItCame) {
    const CRawTcpServer::Behaviour behaviours[] = {
        [](int fd, const std::atomic<bool>&) { // closed before Content-Length was reached
            CRawTcpServer::Write(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nLogin_OK,part");
        },
        [](int fd, const std::atomic<bool>& bStop) { // stalled past the time-out
            CRawTcpServer::Write(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nLogin_OK,part");
            CRawTcpServer::Stall(bStop);
        },
        [](int fd, const std::atomic<bool>&) { // reset in the middle of a chunked body
            CRawTcpServer::Write(
                fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nD\r\nLogin_OK,part\r\n");
            std::this_thread::sleep_for(50ms);
            linger lg{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
        },
    };
    int nCase = 0;
    for (const auto& behaviour : behaviours) {
        CRawTcpServer server(behaviour);
        m_log.m_entries.clear();
        EXPECT_TRUE(Send(Local(server.Port()))) << nCase;
        EXPECT_EQ(m_message, u"Login_OK,part") << nCase;
        EXPECT_EQ(m_log.m_entries, Entries{u"Read Exception Error"}) << nCase;
        ++nCase;
    }
}

// The body of a failure status is not read: a stalled error page does not hold the caller.
TEST_F(PbxWebClientOverHttp, TheBodyOfAFailureStatusIsNotWaitedFor) {
    CRawTcpServer server([](int fd, const std::atomic<bool>& bStop) {
        CRawTcpServer::Write(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 100\r\n\r\nOK");
        CRawTcpServer::Stall(bStop);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Send(Local(server.Port())));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(m_message, u"リクエストに失敗しました。(404)");
    EXPECT_EQ(m_log.m_entries, Entries{});
}

// http_proxy is honoured: the request goes to the proxy in absolute form, the exchange's name unresolved.
TEST_F(PbxWebClientOverHttp, TheProxyOfTheEnvironmentIsUsed) {
    std::string target, host;
    CHttpTestServer proxy;
    proxy->Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
        target = req.target;
        host = req.get_header_value("Host");
        res.set_content("Deregister_OK", "text/plain");
    });
    m_env.Set("http_proxy", "http://127.0.0.1:" + std::to_string(proxy.Port()));

    EXPECT_TRUE(Send(u"kivo-pbx.invalid:8080"));
    EXPECT_EQ(m_message, u"KIVO-PBXからログオフしました");
    EXPECT_EQ(target, "http://kivo-pbx.invalid:8080" + U16ToUtf8(kRegist));
    EXPECT_EQ(host, "kivo-pbx.invalid:8080");

    // no_proxy still sends a listed host directly.
    m_env.Set("no_proxy", "kivo-pbx.invalid");
    target.clear();
    EXPECT_FALSE(Send(u"kivo-pbx.invalid:8080"));
    EXPECT_EQ(m_message, u"サーバーへの送信に失敗しました。");
    EXPECT_EQ(target, "");

    // A proxy whose name does not resolve: nothing is sent.
    m_env.Set("no_proxy", std::nullopt);
    m_env.Set("http_proxy", "http://kivo-proxy.invalid:3128");
    m_log.m_entries.clear();
    EXPECT_FALSE(Send(Local(proxy.Port())));
    EXPECT_EQ(m_message, u"サーバーへの送信に失敗しました。");
    EXPECT_EQ(m_log.m_entries, Entries{u"SendRequest Exception Error"});
}

// A reply that does not end is read no further than any reply of the exchange could need: the client
// keeps what came up to the limit, matches it, and drops the connection instead of filling the memory.
TEST_F(PbxWebClientOverHttp, AnEndlessBodyIsCutAtTheReplyLimit) {
    constexpr size_t kOffered = 32 << 20;
    std::atomic<size_t> nWritten{0};
    CRawTcpServer server([&](int fd, const std::atomic<bool>& bStop) {
        CRawTcpServer::Write(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nLogin_OK,");
        const std::string chunk(64 * 1024, 'x');
        while (!bStop && nWritten < kOffered) {
            const ssize_t n = send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            nWritten += static_cast<size_t>(n);
        }
    });
    EXPECT_TRUE(Send(Local(server.Port())));
    // The message quotes the beginning of what came.
    EXPECT_EQ(m_message, u"Login_OK," + std::u16string(kQuotedReplyMax - 9, u'x') + u"…");
    EXPECT_EQ(m_log.m_entries, Entries{u"Read Exception Error"});
    // What the server got out before the client went: the limit and what the socket buffers took.
    EXPECT_LT(nWritten.load(), kOffered / 2);
}
