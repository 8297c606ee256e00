// Loopback helpers of the Windows tests on Winsock: a one-shot TCP server that answers each
// connection with fixed bytes, a datagram sender, a free UDP port. 127.0.0.1 only.
#pragma once

#include "platform/win32/sys/WinsockSession.h"

#include <ws2tcpip.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace wintest {

// Accepts connections one by one, reads the request head, writes the reply bytes and closes.
class CCannedHttpServer {
public:
    explicit CCannedHttpServer(std::string reply) : m_reply(std::move(reply)) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof addr;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(m_listen, 4);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_nPort = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CCannedHttpServer() {
        m_bStop = true;
        ::closesocket(m_listen); // ends the accept
        m_thread.join();
    }
    CCannedHttpServer(const CCannedHttpServer&) = delete;
    CCannedHttpServer& operator=(const CCannedHttpServer&) = delete;

    uint16_t Port() const { return m_nPort; }
    std::string LastRequest() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lastRequest;
    }

private:
    void Serve() {
        while (!m_bStop) {
            const SOCKET s = ::accept(m_listen, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            std::string head;
            char buf[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const int n = ::recv(s, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                head.append(buf, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_lastRequest = head;
            }
            ::send(s, m_reply.data(), static_cast<int>(m_reply.size()), 0);
            ::shutdown(s, SD_SEND);
            ::closesocket(s);
        }
    }

    CWinsockSession m_winsock;
    std::string m_reply;
    SOCKET m_listen = INVALID_SOCKET;
    uint16_t m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::string m_lastRequest;
    std::thread m_thread;
};

// A loopback port nobody listens on a moment ago.
inline uint16_t FreePort(int nType) {
    CWinsockSession winsock;
    const SOCKET s = ::socket(AF_INET, nType, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::closesocket(s);
    return ntohs(addr.sin_port);
}

// Sends datagrams to 127.0.0.1 only.
class CDatagramSender {
public:
    explicit CDatagramSender(uint16_t nPort) : m_sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
        m_to.sin_family = AF_INET;
        m_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_to.sin_port = htons(nPort);
    }
    ~CDatagramSender() { ::closesocket(m_sock); }
    CDatagramSender(const CDatagramSender&) = delete;
    CDatagramSender& operator=(const CDatagramSender&) = delete;

    bool Send(const std::string& bytes) const {
        return ::sendto(m_sock, bytes.data(), static_cast<int>(bytes.size()), 0,
                        reinterpret_cast<const sockaddr*>(&m_to),
                        sizeof m_to) == static_cast<int>(bytes.size());
    }

private:
    CWinsockSession m_winsock;
    SOCKET m_sock;
    sockaddr_in m_to{};
};

} // namespace wintest
