#include "tests/support/RawTcpServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool WaitReadable(int fd, int ms) {
    pollfd pfd{fd, POLLIN, 0};
    return poll(&pfd, 1, ms) > 0;
}

std::string ReadHead(int fd, const std::atomic<bool>& bStop) {
    std::string head;
    char buf[1024];
    while (!bStop && head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitReadable(fd, 20))
            continue;
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        head.append(buf, static_cast<size_t>(n));
    }
    return head;
}

} // namespace

CRawTcpServer::CRawTcpServer(Behaviour behaviour, const char* pszAddress)
    : m_behaviour(std::move(behaviour)) {
    sockaddr_storage addr{};
    socklen_t len = 0;
    int family = AF_INET;
    if (inet_pton(AF_INET6, pszAddress, &reinterpret_cast<sockaddr_in6*>(&addr)->sin6_addr) == 1) {
        family = AF_INET6;
        reinterpret_cast<sockaddr_in6*>(&addr)->sin6_family = AF_INET6;
        len = sizeof(sockaddr_in6);
    } else {
        auto* p4 = reinterpret_cast<sockaddr_in*>(&addr);
        p4->sin_family = AF_INET;
        inet_pton(AF_INET, pszAddress, &p4->sin_addr);
        len = sizeof(sockaddr_in);
    }
    m_listenFd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        listen(m_listenFd, 8) != 0 || getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("raw test server: cannot listen");
    m_nPort = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                                       : reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
    m_thread = std::thread([this] { Serve(); });
}

CRawTcpServer::~CRawTcpServer() {
    m_bStop = true;
    m_thread.join();
    close(m_listenFd);
}

std::string CRawTcpServer::LastRequest() const {
    std::lock_guard lock(m_mutex);
    return m_lastRequest;
}

void CRawTcpServer::Write(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        text.remove_prefix(static_cast<size_t>(n));
    }
}

void CRawTcpServer::Stall(const std::atomic<bool>& bStop, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!bStop && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void CRawTcpServer::Serve() {
    while (!m_bStop) {
        if (!WaitReadable(m_listenFd, 20))
            continue;
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        const std::string head = ReadHead(fd, m_bStop);
        {
            std::lock_guard lock(m_mutex);
            m_lastRequest = head;
        }
        m_behaviour(fd, m_bStop);
        close(fd);
    }
}
