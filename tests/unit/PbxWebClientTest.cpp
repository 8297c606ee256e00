// The client's side of each failure point and of the reply bytes. The real transport is exercised
// against real servers in the integration tests; the points the socket transport cannot be made to reach
// (no handle, no request object) are driven here by a transport that hands back a prepared reply.
#include "pbxweb/PbxWebClient.h"

#include "app/TextUtil.h"
#include "platform/ICodePage.h"
#include "platform/IHttpTransport.h"
#include "tests/support/RecordingEventLog.h"

#include <gtest/gtest.h>

namespace {

class CPreparedTransport : public IHttpTransport {
public:
    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override {
        ++m_nCalls;
        m_host = host;
        m_nPort = nPort;
        m_target = target;
        m_userAgent = userAgent;
        return m_reply;
    }
    CHttpReply m_reply;
    int m_nCalls = 0;
    std::string m_host, m_target, m_userAgent;
    unsigned short m_nPort = 0;
};

// ASCII as itself and every other byte as "#": shows which bytes went through the code page.
class CMarkingCodePage : public ICodePage932 {
public:
    std::string FromUtf16(std::u16string_view text) override { return U16ToUtf8(text); }
    std::u16string ToUtf16(std::string_view bytes) override {
        std::u16string out;
        for (char ch : bytes)
            out.push_back(static_cast<unsigned char>(ch) < 0x80 ? static_cast<char16_t>(ch) : u'#');
        return out;
    }
};

class PbxWebClient : public ::testing::Test {
protected:
    bool Send(std::u16string_view server = u"pbx") {
        m_message = u"stale";
        return m_client.SendPbxRequest(server, u"/manager/kivodialer/regist?callid=1", m_message);
    }
    CPreparedTransport m_transport;
    CRecordingEventLog m_log;
    CMarkingCodePage m_codePage;
    CPbxWebClient m_client{m_transport, m_log, m_codePage};
    std::u16string m_message;
};

CHttpReply Status200(std::string body, bool bReadFailed = false) {
    CHttpReply reply;
    reply.nStatus = 200;
    reply.body = std::move(body);
    reply.bReadFailed = bReadFailed;
    return reply;
}

} // namespace

TEST_F(PbxWebClient, EachFailurePointHasItsMessageAndALogEntryOnlyWhenThrown) {
    using EFail = CHttpReply::EFailPoint;
    struct Case {
        EFail eFail;
        std::u16string message;
        std::u16string logEntry;
    } cases[] = {
        {EFail::Connect, u"サーバーとの接続に失敗しました。", u"GetHttpConnection Exception Error"},
        {EFail::OpenRequest, u"サーバーへの接続要求に失敗しました。", u"OpenRequest Exception Error"},
        {EFail::Send, u"サーバーへの送信に失敗しました。", u"SendRequest Exception Error"},
        {EFail::QueryStatus, u"サーバーからの応答の取得に失敗しました。",
         u"QueryInfoStatusCode Exception Error"},
    };
    for (const auto& c : cases) {
        for (bool bException : {false, true}) {
            m_log.m_entries.clear();
            m_transport.m_reply = {};
            m_transport.m_reply.eFail = c.eFail;
            m_transport.m_reply.bException = bException;
            m_transport.m_reply.nStatus = 200; // no status counts once a failure point is named
            m_transport.m_reply.body = "OK";
            EXPECT_FALSE(Send());
            EXPECT_EQ(m_message, c.message);
            EXPECT_EQ(m_log.m_entries, bException ? std::vector{c.logEntry} : std::vector<std::u16string>{});
        }
    }
}

TEST_F(PbxWebClient, AStatusOtherThan200FailsWithItsNumberWhateverTheBody) {
    for (long nStatus : {404L, 500L, 201L, 302L}) {
        m_transport.m_reply = Status200("OK");
        m_transport.m_reply.nStatus = nStatus;
        EXPECT_FALSE(Send());
        EXPECT_EQ(m_message, u"リクエストに失敗しました。(" + ToU16Decimal(nStatus) + u")");
    }
    EXPECT_TRUE(m_log.m_entries.empty());
}

TEST_F(PbxWebClient, ReplyBytesAreDecodedCutAtNulAndTrimmed) {
    struct Case {
        std::string body;
        bool bResult;
        std::u16string message;
    } cases[] = {
        {"OK\r\n", true, u"KIVO-PBXとの接続に成功しました"},
        {"\xE3\x80\x80 Login_OK,\xE5\xB1\xB1\xE7\x94\xB0\t\xE3\x80\x80", true, u"Login_OK,山田"},
        {std::string("Call_OK\0garbage", 15), true, u"発信しました。しばらくお待ち下さい。"},
        {std::string("\0OK", 3), false, u"登録に失敗しました。()\nKIVO-PBXとの接続設定を確認してください。"},
        // Not UTF-8: the whole body is read in the code page; a well-formed U+FFFD is UTF-8 as any other.
        {"Login_OK,\xFF\xE5\xB1\xB1", true, u"Login_OK,####"},
        {"Login_OK,\xEF\xBF\xBD", true, u"Login_OK,\uFFFD"},
    };
    for (const auto& c : cases) {
        m_transport.m_reply = Status200(c.body);
        EXPECT_EQ(Send(), c.bResult) << c.body;
        EXPECT_EQ(m_message, c.message) << c.body;
    }
    EXPECT_TRUE(m_log.m_entries.empty());
}

TEST_F(PbxWebClient, AReadThatBreaksOffIsLoggedAndWhatCameIsMatched) {
    m_transport.m_reply = Status200("Login_OK,1", true);
    EXPECT_TRUE(Send());
    EXPECT_EQ(m_message, u"Login_OK,1");
    EXPECT_EQ(m_log.m_entries, std::vector<std::u16string>{u"Read Exception Error"});
}

TEST_F(PbxWebClient, TheSettingGivesHostAndPortAndTheTargetGoesOutAsUtf8) {
    m_transport.m_reply = Status200("OK");
    EXPECT_TRUE(m_client.SendPbxRequest(u"[::1]:8080", u"/manager/kivodialer/call?callid=%E5", m_message));
    EXPECT_EQ(m_transport.m_host, "::1");
    EXPECT_EQ(m_transport.m_nPort, 8080);
    EXPECT_EQ(m_transport.m_target, "/manager/kivodialer/call?callid=%E5");
    EXPECT_EQ(m_transport.m_userAgent, "KIVODialer Browser");
}

TEST_F(PbxWebClient, ASettingThatAddressesNothingFailsBeforeAnyRequest) {
    for (std::u16string_view server : {u"", u"pbx:0", u"pbx/evil", u"user@pbx"}) {
        EXPECT_FALSE(Send(server));
        EXPECT_EQ(m_message, u"サーバーとの接続に失敗しました。");
    }
    EXPECT_EQ(m_transport.m_nCalls, 0);
    EXPECT_TRUE(m_log.m_entries.empty());
}
