// The exchange's reply: whatever an HTTP server answers goes through the web API client and the reply
// table. The first byte picks how the transfer ended, the rest is the body.
#include "FuzzInput.h"

#include "app/TextUtil.h"
#include "pbxweb/PbxWebClient.h"
#include "pbxweb/ReplyTable.h"
#include "pbxweb/RequestForms.h"
#include "platform/ICodePage.h"
#include "platform/IEventLog.h"
#include "platform/IHttpTransport.h"

namespace {

class CFuzzTransport : public IHttpTransport {
public:
    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override {
        FUZZ_CHECK(host == "127.0.0.1" && nPort == 8080 && userAgent == "KIVODialer Browser");
        FUZZ_CHECK(target.starts_with("/manager/kivodialer/call?"));
        ++m_nCalls;
        return m_reply;
    }
    CHttpReply m_reply;
    int m_nCalls = 0;
};

// Every byte one character (as Latin-1), so that the fallback decoding is exercised with any bytes.
class CByteCodePage : public ICodePage932 {
public:
    std::string FromUtf16(std::u16string_view text) override { return std::string(text.size(), '?'); }
    std::u16string ToUtf16(std::string_view bytes) override {
        std::u16string out;
        for (char ch : bytes)
            out.push_back(static_cast<unsigned char>(ch));
        return out;
    }
};

class CCountingEventLog : public IEventLog {
public:
    void ReportError(std::u16string_view text) override {
        FUZZ_CHECK(!text.empty());
        ++m_nEntries;
    }
    int m_nEntries = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);

    // The table alone, on the text as the client hands it over and on texts no decoding makes.
    {
        const CReplyMatch match = MatchReply(TrimWSpace(Utf8ToU16(bytes)));
        FUZZ_CHECK(!match.strMessage.empty());
        MatchReply(BytesAsU16(bytes));
    }

    if (bytes.empty())
        return 0;
    const uint8_t nMode = static_cast<uint8_t>(bytes[0]);
    CFuzzTransport transport;
    CCountingEventLog eventLog;
    CHttpReply& reply = transport.m_reply;
    reply.eFail = static_cast<CHttpReply::EFailPoint>(nMode % 5);
    reply.bException = (nMode & 0x08) != 0;
    reply.bReadFailed = (nMode & 0x10) != 0;
    reply.nStatus = (nMode & 0x20) != 0 ? 404 + (nMode >> 6) * 100 : 200;
    reply.body = std::string(bytes.substr(1));

    CByteCodePage codePage;
    CPbxWebClient client(transport, eventLog, codePage);
    std::u16string strMessage = u"left over";
    const bool bResult = client.SendPbxRequest(
        u"127.0.0.1:8080", FormatCallRequest(u"2001", u"pass", u"0312345678", 10), strMessage);
    FUZZ_CHECK(transport.m_nCalls == 1);
    FUZZ_CHECK(!strMessage.empty() && strMessage != u"left over");
    if (reply.eFail != CHttpReply::EFailPoint::None || reply.nStatus != 200) {
        FUZZ_CHECK(!bResult);
        FUZZ_CHECK(eventLog.m_nEntries == (reply.eFail != CHttpReply::EFailPoint::None && reply.bException));
        return 0;
    }
    FUZZ_CHECK(eventLog.m_nEntries == (reply.bReadFailed ? 1 : 0));
    // Success only for a reply that begins with one of the table's accepting keywords.
    if (bResult) {
        const std::string bytes = reply.body.substr(0, reply.body.find('\0'));
        const std::u16string strText =
            TrimWSpace(IsValidUtf8(bytes) ? Utf8ToU16(bytes) : codePage.ToUtf16(bytes));
        bool bKnown = false;
        for (const CReplyRow& row : ReplyTable())
            bKnown = bKnown || (row.bResult && strText.starts_with(row.strKeyword));
        FUZZ_CHECK(bKnown);
    }
    return 0;
}
