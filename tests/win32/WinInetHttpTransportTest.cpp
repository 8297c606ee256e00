// The web API client over WinINet against loopback servers: the request that goes out, the replies,
// and every failure point with its message and log entry.
#include "platform/win32/WinInetHttpTransport.h"
#include "pbxweb/PbxWebClient.h"
#include "pbxweb/ReplyTable.h"
#include "platform/win32/WinAnsiCodePage.h"
#include "tests/support/RecordingEventLog.h"
#include "tests/win32/support/WinLoopback.h"

#include <gtest/gtest.h>

using wintest::CCannedHttpServer;

namespace {

std::string Reply200(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

std::u16string Server(uint16_t nPort) {
    const std::string s = "127.0.0.1:" + std::to_string(nPort);
    return std::u16string(s.begin(), s.end());
}

} // namespace

TEST(WinInetHttpTransport, SendsTheTargetWithTheUserAgentAndMatchesTheReply) {
    CCannedHttpServer server(Reply200("OK\r\n"));
    CWinInetHttpTransport transport;
    CRecordingEventLog log;
    CWinAnsiCodePage codePage;
    CPbxWebClient client(transport, log, codePage);
    std::u16string strMessage;
    EXPECT_TRUE(client.SendPbxRequest(
        Server(server.Port()), u"/manager/kivodialer/call?callid=201&passwd=pw&dialno=0312345678&cbtime=10",
        strMessage));
    EXPECT_EQ(strMessage, u"KIVO-PBXとの接続に成功しました");
    const std::string head = server.LastRequest();
    EXPECT_EQ(
        head.rfind(
            "GET /manager/kivodialer/call?callid=201&passwd=pw&dialno=0312345678&cbtime=10 HTTP/1.1\r\n", 0),
        0u)
        << head;
    EXPECT_NE(head.find("User-Agent: KIVODialer Browser\r\n"), std::string::npos) << head;
    EXPECT_TRUE(log.m_entries.empty());
}

TEST(WinInetHttpTransport, RepliesAndFailurePoints) {
    const std::string strLong(10000, 'x');
    struct Case {
        const char* name;
        std::string reply; // empty: nobody listens on the port
        bool bResult;
        std::u16string strMessage;
        std::vector<std::u16string> log;
    } cases[] = {
        {"call accepted", Reply200("Call_OK"), true, u"発信しました。しばらくお待ち下さい。", {}},
        {"status 404",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nOK",
         false,
         u"リクエストに失敗しました。(404)",
         {}},
        {"empty body",
         Reply200(""),
         false,
         u"登録に失敗しました。()\nKIVO-PBXとの接続設定を確認してください。",
         {}},
        // Several 4096-byte chunks, matched as one text.
        {"long body",
         Reply200("Login_OK," + strLong),
         true,
         QuoteReply(u"Login_OK," + std::u16string(10000, u'x')),
         {}},
        {"body cut short",
         "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nOK",
         true,
         u"KIVO-PBXとの接続に成功しました",
         {u"Read Exception Error"}},
        // Reported by the status query's result, not thrown: no log entry.
        {"no status line", "garbage", false, u"サーバーからの応答の取得に失敗しました。", {}},
        {"closed port", "", false, u"サーバーへの送信に失敗しました。", {u"SendRequest Exception Error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CCannedHttpServer> pServer;
        uint16_t nPort = wintest::FreePort(SOCK_STREAM);
        if (!c.reply.empty()) {
            pServer = std::make_unique<CCannedHttpServer>(c.reply);
            nPort = pServer->Port();
        }
        CWinInetHttpTransport transport;
        CRecordingEventLog log;
        CWinAnsiCodePage codePage;
        CPbxWebClient client(transport, log, codePage);
        std::u16string strMessage = u"left over";
        EXPECT_EQ(client.SendPbxRequest(Server(nPort), u"/manager/kivodialer/regist", strMessage), c.bResult);
        EXPECT_EQ(strMessage, c.strMessage);
        EXPECT_EQ(log.m_entries, c.log);
    }
}

TEST(WinInetHttpTransport, HostThatCannotBeNamedGetsNoConnection) {
    CWinInetHttpTransport transport;
    const CHttpReply reply = transport.Get("", 80, "/", "KIVODialer Browser");
    EXPECT_EQ(reply.eFail, CHttpReply::EFailPoint::Connect);
    EXPECT_TRUE(reply.bException);
}
