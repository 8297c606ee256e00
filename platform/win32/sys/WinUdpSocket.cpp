// The notification channel's socket on Windows Sockets 2.2: the socket's FD_READ | FD_CLOSE events
// selected into one event object, a second event for the stop request, both waited on together.
#include "platform/IUdpSocket.h"
#include "platform/win32/sys/WinsockSession.h"

#include <ws2tcpip.h>

namespace {

class CWinUdpSocket : public IUdpSocket {
public:
    ~CWinUdpSocket() override {
        Close();
        if (m_hNetEvent != WSA_INVALID_EVENT)
            WSACloseEvent(m_hNetEvent);
        if (m_hWakeEvent != WSA_INVALID_EVENT)
            WSACloseEvent(m_hWakeEvent);
    }

    bool CreateWake() override {
        if (!m_winsock.IsStarted())
            return false;
        if (m_hWakeEvent == WSA_INVALID_EVENT)
            m_hWakeEvent = WSACreateEvent();
        if (m_hNetEvent == WSA_INVALID_EVENT)
            m_hNetEvent = WSACreateEvent();
        return m_hWakeEvent != WSA_INVALID_EVENT && m_hNetEvent != WSA_INVALID_EVENT;
    }

    void Wake() override {
        if (m_hWakeEvent != WSA_INVALID_EVENT)
            WSASetEvent(m_hWakeEvent);
    }

    bool Bind(uint16_t nPort) override {
        if (m_sock != INVALID_SOCKET)
            return true;
        if (!m_winsock.IsStarted() || m_hNetEvent == WSA_INVALID_EVENT)
            return false;
        // Not inherited by the processes the program starts (the browser), so the port is free
        // once the program has ended.
        m_sock = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
        if (m_sock == INVALID_SOCKET)
            return false;
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(nPort);
        // WSAEventSelect also makes the socket non-blocking.
        if (::bind(m_sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
            WSAEventSelect(m_sock, m_hNetEvent, FD_READ | FD_CLOSE) != 0) {
            Close();
            return false;
        }
        return true;
    }

    bool IsOpen() const override { return m_sock != INVALID_SOCKET; }

    EWait Wait(int nTimeoutMs) override {
        const WSAEVENT events[2] = {m_hNetEvent, m_hWakeEvent};
        const DWORD rc = WSAWaitForMultipleEvents(2, events, FALSE, static_cast<DWORD>(nTimeoutMs), FALSE);
        if (rc == WSA_WAIT_EVENT_0 + 1)
            return EWait::Woken;
        if (rc != WSA_WAIT_EVENT_0)
            return EWait::TimedOut;
        // Resets the event; FD_READ is recorded again as long as datagrams remain after a recvfrom.
        WSANETWORKEVENTS net{};
        if (WSAEnumNetworkEvents(m_sock, m_hNetEvent, &net) != 0)
            return EWait::TimedOut;
        return (net.lNetworkEvents & (FD_READ | FD_CLOSE)) ? EWait::Readable : EWait::TimedOut;
    }

    EReceive Receive(char* pBuf, size_t nSize, size_t& nLen) override {
        sockaddr_in from{}; // any sender is accepted
        int nFromLen = sizeof from;
        const int n = ::recvfrom(m_sock, pBuf, static_cast<int>(nSize), 0, reinterpret_cast<sockaddr*>(&from),
                                 &nFromLen);
        if (n == SOCKET_ERROR)
            // A datagram longer than the buffer is cut and reported as this error.
            return WSAGetLastError() == WSAEMSGSIZE ? EReceive::Truncated : EReceive::Nothing;
        if (n <= 0)
            return EReceive::Nothing;
        nLen = static_cast<size_t>(n);
        return EReceive::Datagram;
    }

    bool Close() override {
        if (m_sock == INVALID_SOCKET)
            return true;
        const int rc = ::closesocket(m_sock);
        m_sock = INVALID_SOCKET;
        return rc == 0;
    }

    bool LocalAddress(uint32_t& addr, uint16_t& nPort) const override {
        sockaddr_in local{};
        int len = sizeof local;
        if (m_sock == INVALID_SOCKET || ::getsockname(m_sock, reinterpret_cast<sockaddr*>(&local), &len) != 0)
            return false;
        addr = local.sin_addr.s_addr;
        nPort = ntohs(local.sin_port);
        return true;
    }

private:
    CWinsockSession m_winsock;
    SOCKET m_sock = INVALID_SOCKET;
    WSAEVENT m_hNetEvent = WSA_INVALID_EVENT;
    WSAEVENT m_hWakeEvent = WSA_INVALID_EVENT;
};

} // namespace

std::unique_ptr<IUdpSocket> CreateUdpSocket() {
    return std::make_unique<CWinUdpSocket>();
}
