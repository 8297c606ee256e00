#include "ReplyWriter.h"

#include <cstdio>
#include <memory>

#include <netdb.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many bytes a cut reply declares beyond what it sends.
constexpr size_t kCutShortfall = 100;

std::string NumericAddress(const sockaddr_storage& addr, socklen_t nLen, int& nPort) {
    char szHost[NI_MAXHOST], szPort[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&addr), nLen, szHost, sizeof szHost, szPort,
                    sizeof szPort, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    nPort = atoi(szPort);
    return szHost;
}

// httplib hands a handler no socket: find the connection by its two ends. Other threads may close or
// reuse their descriptors during the scan (ThreadSanitizer reports that), but only a live connection can
// have this pair of ends, and ours stays open until the handler returns, so the match is always ours.
int FindConnectionSocket(const httplib::Request& req) {
    long nMax = sysconf(_SC_OPEN_MAX);
    for (int fd = 0; fd < (nMax > 0 && nMax < 65536 ? nMax : 65536); ++fd) {
        struct stat st;
        if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
            continue;
        sockaddr_storage peer{}, local{};
        socklen_t nPeer = sizeof peer, nLocal = sizeof local;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &nPeer) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&local), &nLocal) != 0)
            continue;
        int nPeerPort = -1, nLocalPort = -1;
        if (NumericAddress(peer, nPeer, nPeerPort) == req.remote_addr && nPeerPort == req.remote_port &&
            !NumericAddress(local, nLocal, nLocalPort).empty() && nLocalPort == req.local_port)
            return fd;
    }
    return -1;
}

// Sends the headers with a Content-Length kCutShortfall bytes larger than the body, then the body, then
// aborts: httplib closes the connection short of the declared length.
void SetCutContent(httplib::Response& res, const std::string& strBody) {
    auto pBody = std::make_shared<std::string>(strBody);
    res.set_content_provider(pBody->size() + kCutShortfall, kTextPlain,
                             [pBody](size_t nOffset, size_t nLength, httplib::DataSink& sink) {
                                 if (nOffset >= pBody->size())
                                     return false;
                                 sink.write(pBody->data() + nOffset,
                                            std::min(nLength, pBody->size() - nOffset));
                                 return true;
                             });
}

} // namespace

void WriteForcedReply(const CForcedReply& forced, const std::string& strNormalBody,
                      const httplib::Request& req, httplib::Response& res) {
    std::string strBody = forced.m_bHasBody ? forced.m_strBody : strNormalBody;
    res.status = forced.m_nStatus;
    switch (forced.m_eShape) {
    case EReplyShape::Normal:
        res.set_content(strBody, kTextPlain);
        break;
    case EReplyShape::Big:
        if (strBody.size() < forced.m_nSize)
            strBody.append(forced.m_nSize - strBody.size(), '.');
        res.set_content(strBody, kTextPlain);
        break;
    case EReplyShape::Cut:
        SetCutContent(res, strBody);
        break;
    case EReplyShape::Close: {
        int fd = FindConnectionSocket(req);
        if (fd >= 0) {
            // httplib's own reply afterwards fails on the shut socket (SIGPIPE is ignored) and is dropped.
            shutdown(fd, SHUT_RDWR);
        } else {
            fprintf(stderr, "kivo-pbx-sim: connection socket not found, cutting the reply instead\n");
            SetCutContent(res, "");
        }
        break;
    }
    }
}
