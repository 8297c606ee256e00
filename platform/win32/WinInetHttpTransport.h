// The web API's transport on WinINet: a session with the user's preconfigured proxy settings, a
// connection to the host's port, a GET request that may reuse an existing connection, the status
// query and the body in chunks of 4096 bytes. Each call opens and closes all three handles.
#pragma once

#include "platform/IHttpTransport.h"

#include <chrono>
#include <cstddef>

class CWinInetHttpTransport : public IHttpTransport {
public:
    // The most of a reply body that is read; the rest is dropped as a read that broke off.
    static constexpr size_t kMaxReplyBytes = 64 * 1024;
    static constexpr size_t kChunkBytes = 4096;

    // connectTimeout bounds reaching the server; ioTimeout each send and each receive.
    explicit CWinInetHttpTransport(std::chrono::milliseconds connectTimeout = std::chrono::seconds(10),
                                   std::chrono::milliseconds ioTimeout = std::chrono::seconds(30));

    CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                   const std::string& userAgent) override;

private:
    std::chrono::milliseconds m_connectTimeout;
    std::chrono::milliseconds m_ioTimeout;
};
