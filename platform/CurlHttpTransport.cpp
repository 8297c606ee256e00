#include "platform/CurlHttpTransport.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

struct CCurlDeleter {
    void operator()(CURL* pCurl) const { curl_easy_cleanup(pCurl); }
    void operator()(curl_slist* pList) const { curl_slist_free_all(pList); }
};

struct CTransfer {
    CURL* pCurl = nullptr;
    std::string body;
};

// Only the body of a status 200 is read: for any other status the transfer stops at the first byte
// (CURLE_WRITE_ERROR), so a long or slow error page costs nothing. A reply is a keyword and a few
// fields; a body that goes on past kMaxReplyBytes is cut there as a broken-off read, so that an endless
// one cannot fill the memory while the time-out runs.
size_t OnWrite(char* pData, size_t nSize, size_t nCount, void* pUser) {
    auto* pTransfer = static_cast<CTransfer*>(pUser);
    long nStatus = 0;
    curl_easy_getinfo(pTransfer->pCurl, CURLINFO_RESPONSE_CODE, &nStatus);
    if (nStatus != 200)
        return 0;
    const size_t nBytes = nSize * nCount;
    const size_t nRoom = CCurlHttpTransport::kMaxReplyBytes - pTransfer->body.size();
    if (nBytes > nRoom) {
        pTransfer->body.append(pData, nRoom);
        return 0;
    }
    pTransfer->body.append(pData, nBytes);
    return nBytes;
}

std::string MakeUrl(const std::string& host, unsigned short nPort, const std::string& target) {
    const bool bIPv6 = host.find(':') != std::string::npos;
    return "http://" + (bIPv6 ? "[" + host + "]" : host) + ":" + std::to_string(nPort) + target;
}

CHttpReply Failed(CHttpReply::EFailPoint eFail, bool bException) {
    CHttpReply reply;
    reply.eFail = eFail;
    reply.bException = bException;
    return reply;
}

} // namespace

CCurlHttpTransport::CCurlHttpTransport(std::chrono::milliseconds connectTimeout,
                                       std::chrono::milliseconds totalTimeout)
    : m_connectTimeout(connectTimeout), m_totalTimeout(totalTimeout) {
    // Not thread-safe in libcurl 7.88, and only needed once per process; never cleaned up.
    static std::once_flag s_once;
    std::call_once(s_once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CHttpReply CCurlHttpTransport::Get(const std::string& host, unsigned short nPort, const std::string& target,
                                   const std::string& userAgent) {
    CTransfer transfer;
    std::unique_ptr<CURL, CCurlDeleter> curl(curl_easy_init());
    if (!curl)
        return Failed(CHttpReply::EFailPoint::Connect, false);
    transfer.pCurl = curl.get();

    // WinINet sends no Accept header when no accept types are given.
    std::unique_ptr<curl_slist, CCurlDeleter> headers(curl_slist_append(nullptr, "Accept:"));

    const std::string strUrl = MakeUrl(host, nPort, target);
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
    // The target goes out as built: no dot segments squashed.
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    // A fresh connection per request, as a new session per call had.
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    // No signals from the resolver's time-out: the caller may be a GUI thread among others.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(m_totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnWrite);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    // CURLOPT_PROXY stays unset: libcurl then takes http_proxy and no_proxy from the environment.

    const CURLcode code = curl_easy_perform(h);

    if (code == CURLE_URL_MALFORMAT)
        return Failed(CHttpReply::EFailPoint::OpenRequest, true);

    long nStatus = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &nStatus);
    if (nStatus != 0) {
        CHttpReply reply;
        reply.nStatus = nStatus;
        if (nStatus == 200) {
            reply.body = std::move(transfer.body);
            reply.bReadFailed = code != CURLE_OK;
        }
        return reply;
    }

    // No status. Nothing went out when the name, the proxy or the connection failed: on the home
    // platform that shows when the request is sent, as an exception. Otherwise the request went out
    // and the answer was missing, cut, reset or not HTTP.
    long nRequestSize = 0;
    curl_easy_getinfo(h, CURLINFO_REQUEST_SIZE, &nRequestSize);
    if (nRequestSize == 0)
        return Failed(CHttpReply::EFailPoint::Send, true);
    return Failed(CHttpReply::EFailPoint::QueryStatus, true);
}
