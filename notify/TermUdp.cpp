#include "notify/TermUdp.h"

#include "app/TextUtil.h"
#include "notify/PeerHost.h"
#include "platform/IProfile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

CTermUdp::CTermUdp(CMsgQueue* pQueue, int nBasePort, IProfile& profile)
    : CTerm(pQueue), m_nBasePort(nBasePort), m_profile(profile) {}

CTermUdp::~CTermUdp() {
    StopWorker();
    CloseSocket();
    if (m_hWakeRead >= 0)
        ::close(m_hWakeRead);
    if (m_hWakeWrite >= 0)
        ::close(m_hWakeWrite);
}

void CTermUdp::RequestStop() {
    CTerm::RequestStop();
    if (m_hWakeWrite >= 0) {
        // One byte is enough: the worker never reads it, the pipe just stays readable. A full
        // pipe (EAGAIN) already wakes it.
        const char ch = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_hWakeWrite, &ch, 1);
    }
}

bool CTermUdp::Initialize() {
    if (m_hWakeRead >= 0)
        return true;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_hWakeRead = fds[0];
    m_hWakeWrite = fds[1];
    return true;
}

void CTermUdp::Close() {
    // Once the worker runs, the socket is its own to close; closing it here as well would race with
    // its poll and could close a descriptor number that has been reused meanwhile.
    if (!m_bRunning)
        CloseSocket();
    CTerm::Close();
}

void CTermUdp::LoadSettings() {
    m_strHost = m_profile.GetProfileString(kConfigUdpSection, u"Host", u"localhost");
    // "PortNum" is used as stored, so the base may be any integer: the sum wraps instead of overflowing.
    const int nSendDefault = static_cast<int>(static_cast<uint32_t>(m_nBasePort) + 1u);
    m_nPortSend =
        static_cast<uint16_t>(m_profile.GetProfileInt(kConfigUdpSection, u"Port-Send", nSendDefault));
    m_nPortRecv =
        static_cast<uint16_t>(m_profile.GetProfileInt(kConfigUdpSection, u"Port-Recv", m_nBasePort));
}

void CTermUdp::SaveSettings() {
    m_profile.WriteProfileString(kConfigUdpSection, u"Host", m_strHost);
    m_profile.WriteProfileInt(kConfigUdpSection, u"Port-Send", m_nPortSend);
    m_profile.WriteProfileInt(kConfigUdpSection, u"Port-Recv", m_nPortRecv);
    m_profile.Flush();
}

bool CTermUdp::Open() {
    if (m_sock >= 0)
        return true;
    // The address is not used for traffic: the host only decides whether the channel starts.
    if (!ResolvePeerHost(m_strHost, m_addrDest))
        return false;
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
    local.sin_port = htons(m_nPortRecv);
    if (::bind(m_sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        CloseSocket();
        return false;
    }
    if (!CTerm::Open()) {
        CloseSocket();
        return false;
    }
    return true;
}

void CTermUdp::Run() {
    while (!IsStopRequested()) {
        pollfd fds[2] = {{m_sock, POLLIN, 0}, {m_hWakeRead, POLLIN, 0}};
        if (::poll(fds, 2, kWaitMs) <= 0)
            continue; // time-out, or EINTR: check the stop flag again
        // A pending socket error (POLLERR) would report the socket ready forever; the receive
        // call clears it, so it is taken like a read event.
        if (fds[0].revents & (POLLIN | POLLERR))
            Receive();
    }
    CloseSocket();
    CTerm::Run();
}

bool CTermUdp::Receive() {
    char buf[kReceiveBuffer];
    sockaddr_in from{}; // any sender is accepted
    iovec iov{buf, sizeof buf};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    // Non-blocking: a datagram reported ready may still be discarded by the kernel (bad checksum),
    // and a blocked worker would never see the stop.
    const ssize_t n = ::recvmsg(m_sock, &msg, MSG_DONTWAIT);
    if (n <= 0)
        return false;
    // The kernel cuts a longer datagram to the buffer; the home platform reports it as an error and
    // loses it, and so does this.
    if (msg.msg_flags & MSG_TRUNC)
        return false;
    if (n >= kMaxDatagram)
        return true;
    std::u16string text = Utf8ToU16(std::string_view(buf, static_cast<size_t>(n)));
    if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos)
        text.resize(nul);
    PostData(text.data(), static_cast<int32_t>(text.size() * sizeof(char16_t)));
    return true;
}

bool CTermUdp::CloseSocket() {
    if (m_sock < 0)
        return true;
    // Linux releases the descriptor even when close reports an error, so it is forgotten either way:
    // a second close could hit a descriptor that has been reused meanwhile.
    const int rc = ::close(m_sock);
    m_sock = -1;
    return rc == 0;
}
