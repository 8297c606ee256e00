// A small exchange on loopback for the tray controller's tests: it answers the web API with a set reply
// and keeps every request target it received, in order.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class CLoopbackPbx {
public:
    // Listens on 127.0.0.1 at a port the system picks.
    CLoopbackPbx();
    ~CLoopbackPbx();

    CLoopbackPbx(const CLoopbackPbx&) = delete;
    CLoopbackPbx& operator=(const CLoopbackPbx&) = delete;

    int Port() const { return m_nPort; }
    // The "PBX" setting that reaches it: "127.0.0.1:port".
    std::u16string Host() const;
    // The body of every later reply ("OK" by default).
    void SetReply(const std::string& strBody);
    // Request targets received so far: path and query, as sent.
    std::vector<std::string> Requests() const;
    // Stops listening; the port is closed from then on.
    void Stop();

private:
    std::unique_ptr<httplib::Server> m_pServer;
    std::thread m_thread;
    int m_nPort = 0;
    mutable std::mutex m_mutex;
    std::string m_strReply = "OK";
    std::vector<std::string> m_requests;
};
