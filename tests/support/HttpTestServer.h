// A cpp-httplib server on 127.0.0.1 and an ephemeral port, served from its own thread, standing in for
// the exchange's web API: it keeps every request target it got and answers with a set reply body.
#pragma once

#include <httplib.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CHttpTestServer {
public:
    CHttpTestServer() {
        m_server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(m_mutex);
            m_targets.push_back(req.target);
            res.set_content(m_strReply, "text/plain; charset=utf-8");
        });
        m_nPort = static_cast<unsigned short>(m_server.bind_to_any_port("127.0.0.1"));
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~CHttpTestServer() {
        m_server.stop();
        m_thread.join();
    }
    CHttpTestServer(const CHttpTestServer&) = delete;
    CHttpTestServer& operator=(const CHttpTestServer&) = delete;

    unsigned short Port() const { return m_nPort; }
    void SetReply(std::string strBody) {
        std::lock_guard lock(m_mutex);
        m_strReply = std::move(strBody);
    }
    // The request targets received so far, as they came.
    std::vector<std::string> Targets() {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }

private:
    httplib::Server m_server;
    unsigned short m_nPort = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::string m_strReply = "Call_OK";
    std::vector<std::string> m_targets;
};
