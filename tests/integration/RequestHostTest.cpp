// Requests go to the exchange the profile names, and nowhere else: no "PBX" setting, account, password
// or second instance's command line can turn a request towards another host. A decoy server on another
// loopback port counts every connection that would have been turned.
#include "app/TextUtil.h"
#include "pbxweb/PbxWebClient.h"
#include "pbxweb/RequestForms.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"
#include "tests/integration/SimProcess.h"
#include "tests/support/LoopbackPbx.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/RawTcpServer.h"
#include "tests/support/RecordingEventLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <regex>

using namespace std::chrono_literals;

namespace {

// Answers nothing; counts connections.
class CDecoy {
public:
    CDecoy() : m_server([this](int, const std::atomic<bool>&) { ++m_nConnections; }) {}
    std::string Port() const { return std::to_string(m_server.Port()); }
    int Connections() const { return m_nConnections; }

private:
    std::atomic<int> m_nConnections{0};
    CRawTcpServer m_server;
};

std::string Replace(std::string text, const std::string& strFrom, const std::string& strTo) {
    for (size_t pos = text.find(strFrom); pos != std::string::npos;
         pos = text.find(strFrom, pos + strTo.size()))
        text.replace(pos, strFrom.size(), strTo);
    return text;
}

} // namespace

// Every setting that names another host somewhere in it is refused before any connection; account and
// password go into the request target and stay there.
TEST(RequestHostTest, NoSettingOrValueReachesAnotherHost) {
    for (const char* pszName : {"http_proxy", "all_proxy", "ALL_PROXY"})
        unsetenv(pszName);
    CLoopbackPbx pbx; // the exchange the profile names: "S"
    CDecoy decoy;     // "D"
    const std::string strS = std::to_string(pbx.Port());
    CPosixHttpTransport transport(300ms, 600ms);
    CRecordingEventLog log;
    CIconvCodePage932 codePage;
    CPbxWebClient client(transport, log, codePage);

    const char* const pbxSettings[] = {
        "127.0.0.1:S@127.0.0.1:D",
        "127.0.0.1:D@127.0.0.1:S",
        "127.0.0.1:S/@127.0.0.1:D",
        "127.0.0.1:S#@127.0.0.1:D",
        "127.0.0.1:S?@127.0.0.1:D",
        "127.0.0.1:S\\@127.0.0.1:D",
        "127.0.0.1:S @127.0.0.1:D",
        "127.0.0.1:S\r\nHost: 127.0.0.1:D",
        "127.0.0.1:S%40127.0.0.1:D",
        "http://127.0.0.1:D/",
        "127.0.0.1:D/x:S",
        "[::ffff:127.0.0.1]:S@127.0.0.1:D",
        "127.0.0.1:S\xef\xbc\xa0"
        "127.0.0.1:D",
        "127.0.0.1\tD",
    };
    for (const char* pszSetting : pbxSettings) {
        const std::string strSetting = Replace(Replace(pszSetting, "S", strS), "D", decoy.Port());
        std::u16string strMessage;
        EXPECT_FALSE(client.SendPbxRequest(Utf8ToU16(strSetting),
                                           FormatRegistRequest(u"2001", u"pw", 10640, 0), strMessage))
            << strSetting;
        // Refused as a setting, or (a full-width colon or at sign is part of an international name)
        // looked up as the name it is, which no resolver knows.
        EXPECT_TRUE(strMessage == u"サーバーとの接続に失敗しました。" ||
                    strMessage == u"サーバーへの送信に失敗しました。")
            << strSetting;
    }
    EXPECT_TRUE(pbx.Requests().empty());

    const std::u16string strPbx = pbx.Host();
    const std::string values[] = {
        "2001@127.0.0.1:D",       "pw/../@127.0.0.1:D#",    "pw\r\nHost: 127.0.0.1:D",
        "pw http://127.0.0.1:D/", "pw#http://127.0.0.1:D/", "//127.0.0.1:D/",
    };
    size_t nReached = 0;
    for (const std::string& strTemplate : values) {
        const std::u16string strValue = Utf8ToU16(Replace(strTemplate, "D", decoy.Port()));
        for (const std::u16string& strPath : {FormatRegistRequest(strValue, u"pw", 10640, 0),
                                              FormatCallRequest(u"2001", strValue, u"03", 10)}) {
            std::u16string strMessage;
            client.SendPbxRequest(strPbx, strPath, strMessage);
            // Either the request reached the exchange, or it could not be made at all.
            if (pbx.Requests().size() > nReached)
                ++nReached;
            else
                EXPECT_EQ(strMessage, u"サーバーへの接続要求に失敗しました。") << U16ToUtf8(strValue);
        }
    }
    EXPECT_GT(nReached, 0u);
    EXPECT_EQ(decoy.Connections(), 0);
}

// A second instance dials whatever its command line says, at the exchange of the profile: a link or
// arguments that name another host only add their digits to the number.
TEST(RequestHostTest, ASecondInstancesCommandLineCannotTurnTheCallToAnotherHost) {
    CSimProcess sim({"--account", "2001:pw"});
    ASSERT_TRUE(sim.IsRunning());
    CDecoy decoy;
    const std::string D = decoy.Port();
    CProgramProcess first;
    first.WriteProfile(CProgramProcess::Profile(sim.HostPort(), CProgramProcess::FreeUdpPort()));
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(CProgramProcess::WaitUntil(
        [&] { return sim.Get("/_sim/registrations").m_strBody.find("2001\t") != std::string::npos; }, 6s))
        << first.Log();
    ASSERT_TRUE(CProgramProcess::WaitUntil([&] { return first.LoginFlag() == 1; }, 2s));

    const QStringList commandLines[] = {
        {QString::fromStdString("tel:03-1234-5678@127.0.0.1:" + D + "/")},
        {QString::fromStdString("callto://127.0.0.1:" + D + "/0312")},
        {QString::fromStdString("http://127.0.0.1:" + D +
                                "/manager/kivodialer/call?callid=2001&passwd=pw&dialno=03")},
        {"0312", "--pbx", QString::fromStdString("127.0.0.1:" + D)},
        {QString::fromStdString("tel:%40127.0.0.1%3A" + D + "%2F03")},
        {QString::fromStdString("0312#@127.0.0.1:" + D + "\r\nHost: 127.0.0.1:" + D)},
        {"*67", "(03)", "1234;phone-context=@127.0.0.1"},
    };
    for (const QStringList& args : commandLines) {
        CProgramProcess second;
        second.Env().insert("XDG_CONFIG_HOME", QString::fromStdString(first.ConfigHome()));
        second.Env().insert("XDG_RUNTIME_DIR", QString::fromStdString(first.RuntimeDir()));
        ASSERT_TRUE(second.Run(args)) << args.join(' ').toStdString() << "\n" << second.Log();
        EXPECT_TRUE(second.EndedCleanly()) << args.join(' ').toStdString() << "\n" << second.Log();
    }

    const std::string strLog = sim.Get("/_sim/log").m_strBody;
    const std::regex call("\t/manager/kivodialer/call\tcallid=2001&passwd=pw&dialno=([^&]*)&cbtime=10\t");
    size_t nCalls = 0;
    for (auto it = std::sregex_iterator(strLog.begin(), strLog.end(), call); it != std::sregex_iterator();
         ++it) {
        const std::string strNumber = (*it)[1];
        EXPECT_FALSE(strNumber.empty());
        EXPECT_EQ(strNumber.find_first_not_of("0123456789*"), std::string::npos) << strNumber;
        ++nCalls;
    }
    EXPECT_EQ(nCalls, std::size(commandLines));
    EXPECT_EQ(decoy.Connections(), 0);
    first.Signal(SIGTERM);
    ASSERT_TRUE(first.WaitForExit(3000));
}
