// The HTTP transport over libcurl, in place of WinINet: one easy handle per request, the proxy from the
// environment (http_proxy, no_proxy), and libcurl's outcome mapped onto the failure points.
#pragma once

#include "pbxweb/IHttpTransport.h"

#include <chrono>
#include <cstddef>

class CCurlHttpTransport : public IHttpTransport {
public:
    // The most of a reply body that is read; the rest is dropped as a read that broke off.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;

    explicit CCurlHttpTransport(std::chrono::milliseconds connectTimeout = std::chrono::seconds(10),
                                std::chrono::milliseconds totalTimeout = std::chrono::seconds(30));

    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override;

private:
    std::chrono::milliseconds m_connectTimeout;
    std::chrono::milliseconds m_totalTimeout;
};
