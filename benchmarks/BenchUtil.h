// Small pieces the benchmark programs share: the clock, loopback datagrams, an incoming-call text.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// An incoming call for the account, as the exchange sends it (UTF-8, eleven tab-terminated fields).
inline std::string IncomingCall(const std::string& strAccount, const std::string& strNumber) {
    return "request\t" + strAccount + "\t\t" + strNumber +
           "\t\xE5\xB1\xB1\xE7\x94\xB0 \xE5\xA4\xAA\xE9\x83\x8E\t\xE5\x96\xB6\xE6\xA5\xAD\xE9\x83\xA8\t\t"
           "\xE7\x9D\x80\xE4\xBF\xA1\t\t\t\t";
}

// A UDP port on every interface that was free a moment ago (the way the terminal binds it).
inline uint16_t FreeUdpPort() {
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t len = sizeof addr;
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

inline uint16_t BoundPort(int sock) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

// Sends batches of datagrams to 127.0.0.1 (never anywhere else) with one system call per batch, so
// that the sender costs as little as it can next to the receiver being measured.
class CLoopbackBatchSender {
public:
    explicit CLoopbackBatchSender(uint16_t nPort) : m_sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        m_to.sin_family = AF_INET;
        m_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_to.sin_port = htons(nPort);
    }
    ~CLoopbackBatchSender() { ::close(m_sock); }
    CLoopbackBatchSender(const CLoopbackBatchSender&) = delete;
    CLoopbackBatchSender& operator=(const CLoopbackBatchSender&) = delete;

    // One datagram per text; returns how many went out.
    int Send(const std::vector<std::string>& texts) {
        m_iov.resize(texts.size());
        m_msgs.resize(texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            m_iov[i] = {const_cast<char*>(texts[i].data()), texts[i].size()};
            m_msgs[i] = {};
            m_msgs[i].msg_hdr.msg_name = &m_to;
            m_msgs[i].msg_hdr.msg_namelen = sizeof m_to;
            m_msgs[i].msg_hdr.msg_iov = &m_iov[i];
            m_msgs[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = ::sendmmsg(m_sock, m_msgs.data(), static_cast<unsigned>(m_msgs.size()), 0);
        return n < 0 ? 0 : n;
    }

private:
    int m_sock;
    sockaddr_in m_to{};
    std::vector<iovec> m_iov;
    std::vector<mmsghdr> m_msgs;
};

} // namespace bench
