#include "platform/win32/WinInetHttpTransport.h"

#include "app/TextUtil.h"

#include <windows.h>
#include <wininet.h>

#include <memory>

namespace {

// An Internet handle closed at the end of its scope: request, then connection, then session.
struct CInternetHandleCloser {
    void operator()(void* h) const { InternetCloseHandle(h); }
};
using CInternetHandle = std::unique_ptr<void, CInternetHandleCloser>;

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf8ToU16(utf8);
    return std::wstring(text.begin(), text.end());
}

// The way the framework reports these failures is an exception: the client logs them.
CHttpReply Thrown(CHttpReply::EFailPoint eFail) {
    CHttpReply reply;
    reply.eFail = eFail;
    reply.bException = true;
    return reply;
}

void SetTimeout(HINTERNET h, DWORD dwOption, std::chrono::milliseconds timeout) {
    DWORD dwMs = static_cast<DWORD>(timeout.count());
    InternetSetOptionW(h, dwOption, &dwMs, sizeof dwMs);
}

} // namespace

CWinInetHttpTransport::CWinInetHttpTransport(std::chrono::milliseconds connectTimeout,
                                             std::chrono::milliseconds ioTimeout)
    : m_connectTimeout(connectTimeout), m_ioTimeout(ioTimeout) {}

CHttpReply CWinInetHttpTransport::Get(const std::string& host, unsigned short nPort,
                                      const std::string& target, const std::string& userAgent) {
    const CInternetHandle session(
        InternetOpenW(Wide(userAgent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return Thrown(CHttpReply::EFailPoint::Connect);
    SetTimeout(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, m_connectTimeout);
    SetTimeout(session.get(), INTERNET_OPTION_SEND_TIMEOUT, m_ioTimeout);
    SetTimeout(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, m_ioTimeout);

    // Context 1 on the connection and the request, as the framework passes it.
    const DWORD_PTR dwContext = 1;
    const CInternetHandle connection(InternetConnectW(session.get(), Wide(host).c_str(), nPort, nullptr,
                                                      nullptr, INTERNET_SERVICE_HTTP, 0, dwContext));
    if (!connection)
        return Thrown(CHttpReply::EFailPoint::Connect);

    // No referrer, no accept types, the default HTTP version.
    const CInternetHandle request(HttpOpenRequestW(connection.get(), L"GET", Wide(target).c_str(), nullptr,
                                                   nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT,
                                                   dwContext));
    if (!request)
        return Thrown(CHttpReply::EFailPoint::OpenRequest);

    // The connection is made here: an unknown host, a refused or unreachable one fail the send.
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0))
        return Thrown(CHttpReply::EFailPoint::Send);

    DWORD dwStatus = 0;
    DWORD cbStatus = sizeof dwStatus;
    // A reply without a status line is taken by WinINet as status 0: no status came back.
    if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &cbStatus,
                        nullptr) ||
        dwStatus < 100 || dwStatus > 999) {
        // Reported by the result, not thrown: no log entry.
        CHttpReply reply;
        reply.eFail = CHttpReply::EFailPoint::QueryStatus;
        return reply;
    }

    CHttpReply reply;
    reply.nStatus = static_cast<long>(dwStatus);
    if (reply.nStatus != 200)
        return reply;
    // WinINet ends the read without an error when the server closes before the announced length: that
    // is a read broken off all the same.
    DWORD dwLength = 0;
    DWORD cbLength = sizeof dwLength;
    const bool bHasLength = HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                           &dwLength, &cbLength, nullptr) != FALSE;
    // A reply is a keyword and a few fields; a body that goes on past kMaxReplyBytes is cut there as a
    // broken-off read, so that an endless one cannot fill the memory.
    char chunk[kChunkBytes];
    for (;;) {
        DWORD dwRead = 0;
        if (!InternetReadFile(request.get(), chunk, sizeof chunk, &dwRead)) {
            reply.bReadFailed = true;
            break;
        }
        if (dwRead == 0)
            break;
        if (reply.body.size() + dwRead > kMaxReplyBytes) {
            reply.body.append(chunk, kMaxReplyBytes - reply.body.size());
            reply.bReadFailed = true;
            break;
        }
        reply.body.append(chunk, dwRead);
    }
    if (bHasLength && reply.body.size() < dwLength)
        reply.bReadFailed = true;
    return reply;
}
