#include "pbxweb/PbxWebClient.h"

#include "app/TextUtil.h"
#include "pbxweb/PbxServer.h"
#include "pbxweb/ReplyTable.h"
#include "platform/ICodePage.h"
#include "platform/IEventLog.h"
#include "platform/IHttpTransport.h"

#include <algorithm>
#include <optional>

namespace {

constexpr char kUserAgent[] = "KIVODialer Browser";

struct CFailText {
    std::u16string_view strMessage;
    std::u16string_view strLogEntry; // written only when the failure came as an exception
};

constexpr CFailText kConnectFailed{u"サーバーとの接続に失敗しました。", u"GetHttpConnection Exception Error"};
constexpr CFailText kOpenRequestFailed{u"サーバーへの接続要求に失敗しました。",
                                       u"OpenRequest Exception Error"};
constexpr CFailText kSendFailed{u"サーバーへの送信に失敗しました。", u"SendRequest Exception Error"};
constexpr CFailText kQueryStatusFailed{u"サーバーからの応答の取得に失敗しました。",
                                       u"QueryInfoStatusCode Exception Error"};
constexpr std::u16string_view kReadFailedLogEntry = u"Read Exception Error";

const CFailText* FailTextOf(CHttpReply::EFailPoint eFail) {
    switch (eFail) {
    case CHttpReply::EFailPoint::Connect:
        return &kConnectFailed;
    case CHttpReply::EFailPoint::OpenRequest:
        return &kOpenRequestFailed;
    case CHttpReply::EFailPoint::Send:
        return &kSendFailed;
    case CHttpReply::EFailPoint::QueryStatus:
        return &kQueryStatusFailed;
    case CHttpReply::EFailPoint::None:
        break;
    }
    return nullptr;
}

// The reply text: the body up to the first NUL, white space trimmed. A body that is not UTF-8 (an
// exchange or a page in between that answers in Shift_JIS) is read in code page 932, the ANSI code page
// the workstation's texts are in, so that a quoted reply stays readable.
std::u16string ReplyText(const std::string& body, ICodePage932& codePage) {
    const std::string_view bytes(body.data(), std::min(body.size(), body.find('\0')));
    return TrimWSpace(IsValidUtf8(bytes) ? Utf8ToU16(bytes) : codePage.ToUtf16(bytes));
}

} // namespace

CPbxWebClient::CPbxWebClient(IHttpTransport& transport, IEventLog& eventLog, ICodePage932& codePage)
    : m_transport(transport), m_eventLog(eventLog), m_codePage(codePage) {}

bool CPbxWebClient::SendPbxRequest(std::u16string_view server, std::u16string_view path,
                                   std::u16string& message) {
    message.clear();

    // A setting no request can be addressed with gets no connection; nothing was thrown.
    const std::optional<CPbxServer> oServer = ParsePbxServer(server);
    if (!oServer) {
        message = kConnectFailed.strMessage;
        return false;
    }

    const CHttpReply reply = m_transport.Get(oServer->strHost, oServer->nPort, U16ToUtf8(path), kUserAgent);
    if (const CFailText* pFail = FailTextOf(reply.eFail)) {
        if (reply.bException)
            m_eventLog.ReportError(pFail->strLogEntry);
        message = pFail->strMessage;
        return false;
    }

    if (reply.nStatus != 200) {
        message = u"リクエストに失敗しました。(" + ToU16Decimal(reply.nStatus) + u")";
        return false;
    }

    // A read that broke off still lets what came be matched.
    if (reply.bReadFailed)
        m_eventLog.ReportError(kReadFailedLogEntry);

    CReplyMatch match = MatchReply(ReplyText(reply.body, m_codePage));
    message = std::move(match.strMessage);
    return match.bResult;
}
