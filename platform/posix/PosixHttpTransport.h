// The HTTP transport in place of WinINet: one plain-HTTP/1.1 GET per call over POSIX sockets, on a
// connection of its own, through the proxy the environment names (http_proxy, no_proxy). Looking up
// the name (getaddrinfo, on a thread of its own), connecting, sending and reading are all bound by the
// time-outs.
#pragma once

#include "platform/IHttpTransport.h"

#include <chrono>
#include <cstddef>

class CPosixHttpTransport : public IHttpTransport {
public:
    // The most of a reply body that is read; the rest is dropped as a read that broke off.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    // connectTimeout bounds reaching the server (every address it has); totalTimeout the whole request.
    explicit CPosixHttpTransport(std::chrono::milliseconds connectTimeout = std::chrono::seconds(10),
                                 std::chrono::milliseconds totalTimeout = std::chrono::seconds(30));

    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override;

    // A descriptor (the read end of the end signals' pipe) that, once readable, makes a request in
    // flight give up at once, as at its time-out: the program is ending and must not wait for a stalled
    // exchange. -1 for none. The transport only polls it, never reads it.
    void SetAbandonFd(int fd) { m_fdAbandon = fd; }

private:
    std::chrono::milliseconds m_connectTimeout;
    std::chrono::milliseconds m_totalTimeout;
    int m_fdAbandon = -1;
};
