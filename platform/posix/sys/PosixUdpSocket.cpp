// The notification channel's socket on POSIX: poll on the socket and a pipe that a stop request
// writes to, recvmsg without blocking.
#include "platform/IUdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

class CPosixUdpSocket : public IUdpSocket {
public:
    ~CPosixUdpSocket() override {
        Close();
        if (m_hWakeRead >= 0)
            ::close(m_hWakeRead);
        if (m_hWakeWrite >= 0)
            ::close(m_hWakeWrite);
    }

    bool CreateWake() override {
        if (m_hWakeRead >= 0)
            return true;
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        m_hWakeRead = fds[0];
        m_hWakeWrite = fds[1];
        return true;
    }

    void Wake() override {
        if (m_hWakeWrite < 0)
            return;
        // One byte is enough: nobody reads it, the pipe just stays readable. A full pipe (EAGAIN)
        // already wakes the waiter.
        const char ch = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_hWakeWrite, &ch, 1);
    }

    bool Bind(uint16_t nPort) override {
        if (m_sock >= 0)
            return true;
        // Close-on-exec, so that a browser started by the program does not inherit the socket and
        // keep the receive port bound after the program has ended.
        m_sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
        if (m_sock < 0) {
            m_sock = -1;
            return false;
        }
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(nPort);
        if (::bind(m_sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            Close();
            return false;
        }
        return true;
    }

    bool IsOpen() const override { return m_sock >= 0; }

    EWait Wait(int nTimeoutMs) override {
        pollfd fds[2] = {{m_sock, POLLIN, 0}, {m_hWakeRead, POLLIN, 0}};
        if (::poll(fds, 2, nTimeoutMs) <= 0)
            return EWait::TimedOut; // time-out, or EINTR: the caller looks at its stop flag again
        if (fds[0].revents & (POLLIN | POLLERR))
            return EWait::Readable;
        return fds[1].revents ? EWait::Woken : EWait::TimedOut;
    }

    EReceive Receive(char* pBuf, size_t nSize, size_t& nLen) override {
        sockaddr_in from{}; // any sender is accepted
        iovec iov{pBuf, nSize};
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        // Non-blocking: a datagram reported ready may still be discarded by the kernel (bad checksum),
        // and a blocked worker would never see the stop.
        const ssize_t n = ::recvmsg(m_sock, &msg, MSG_DONTWAIT);
        if (n <= 0)
            return EReceive::Nothing;
        if (msg.msg_flags & MSG_TRUNC)
            return EReceive::Truncated;
        nLen = static_cast<size_t>(n);
        return EReceive::Datagram;
    }

    bool Close() override {
        if (m_sock < 0)
            return true;
        // Linux releases the descriptor even when close reports an error, so it is forgotten either
        // way: a second close could hit a descriptor that has been reused meanwhile.
        const int rc = ::close(m_sock);
        m_sock = -1;
        return rc == 0;
    }

    bool LocalAddress(uint32_t& addr, uint16_t& nPort) const override {
        sockaddr_in local{};
        socklen_t len = sizeof local;
        if (m_sock < 0 || ::getsockname(m_sock, reinterpret_cast<sockaddr*>(&local), &len) != 0)
            return false;
        addr = local.sin_addr.s_addr;
        nPort = ntohs(local.sin_port);
        return true;
    }

private:
    int m_sock = -1;
    int m_hWakeRead = -1;
    int m_hWakeWrite = -1;
};

} // namespace

std::unique_ptr<IUdpSocket> CreateUdpSocket() {
    return std::make_unique<CPosixUdpSocket>();
}
