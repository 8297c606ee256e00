// Loopback helpers shared by the channel tests: free ports, a datagram sender, waiting for texts,
// and counts of this process's descriptors, threads and memory.
#pragma once

#include "notify/MsgQueue.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace channeltest {

// A UDP port that was free a moment ago: bound on every interface as the terminal binds it.
inline uint16_t FreeUdpPort() {
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t len = sizeof addr;
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

// Sends datagrams to 127.0.0.1 only.
class CLoopbackSender {
public:
    explicit CLoopbackSender(uint16_t nPort) : m_sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        m_to.sin_family = AF_INET;
        m_to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_to.sin_port = htons(nPort);
        // Room for the largest datagram the tests send.
        int nSize = 1 << 20;
        ::setsockopt(m_sock, SOL_SOCKET, SO_SNDBUF, &nSize, sizeof nSize);
    }
    ~CLoopbackSender() { ::close(m_sock); }
    CLoopbackSender(const CLoopbackSender&) = delete;
    CLoopbackSender& operator=(const CLoopbackSender&) = delete;

    bool Send(const std::string& bytes) const {
        return ::sendto(m_sock, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&m_to),
                        sizeof m_to) == static_cast<ssize_t>(bytes.size());
    }

private:
    int m_sock;
    sockaddr_in m_to{};
};

// Takes texts from the queue until one equals strLast or the time is up; strLast is included.
inline std::vector<std::u16string> TakeUntil(CMsgQueue& queue, const std::u16string& strLast,
                                             std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::vector<std::u16string> texts;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        auto pMsg = queue.GetMsg();
        if (!pMsg) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        texts.push_back(pMsg->Text());
        if (texts.back() == strLast)
            break;
    }
    return texts;
}

inline int CountDirEntries(const char* szPath) {
    int n = 0;
    if (DIR* pDir = ::opendir(szPath)) {
        while (const dirent* pEntry = ::readdir(pDir))
            n += pEntry->d_name[0] != '.';
        ::closedir(pDir);
    }
    return n;
}

inline int CountFds() {
    return CountDirEntries("/proc/self/fd");
}

// ThreadSanitizer starts a background thread of its own when the process creates its first thread;
// one thread made and joined beforehand keeps that out of the counts.
inline int CountThreads() {
    static const bool bWarmedUp = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)bWarmedUp;
    return CountDirEntries("/proc/self/task");
}

// A joined thread's task can still be listed for a moment after the join returns: the count that a
// check expects, once the exits have settled (or the last count after a second).
inline int SettledThreadCount(int nExpected) {
    int n = CountThreads();
    for (int i = 0; i < 200 && n != nExpected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        n = CountThreads();
    }
    return n;
}

inline long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace channeltest
