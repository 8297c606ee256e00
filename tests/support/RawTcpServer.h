// A TCP server on a loopback address and an ephemeral port that reads each request's head and then does
// what the test says with the connection: for answers no well-behaved HTTP server gives.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CRawTcpServer {
public:
    // fd is the accepted connection (closed afterwards); bStop turns true when the server is stopping.
    using Behaviour = std::function<void(int fd, const std::atomic<bool>& bStop)>;

    explicit CRawTcpServer(Behaviour behaviour, const char* pszAddress = "127.0.0.1");
    ~CRawTcpServer();

    unsigned short Port() const { return m_nPort; }
    // The head of the last request received, request line and headers.
    std::string LastRequest() const;

    // Writes all of text, ignoring a peer that has gone.
    static void Write(int fd, std::string_view text);
    // Waits until stopping or ms have passed.
    static void Stall(const std::atomic<bool>& bStop, int ms = 10000);

private:
    void Serve();

    Behaviour m_behaviour;
    int m_listenFd = -1;
    unsigned short m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;
    std::string m_lastRequest;
    std::thread m_thread;
};
