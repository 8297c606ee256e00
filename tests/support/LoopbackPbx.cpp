#include "tests/support/LoopbackPbx.h"

#include <httplib.h>

#include <chrono>

CLoopbackPbx::CLoopbackPbx() : m_pServer(std::make_unique<httplib::Server>()) {
    m_pServer->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(req.target);
        res.set_content(m_strReply, "text/plain; charset=UTF-8");
    });
    m_nPort = m_pServer->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_pServer->listen_after_bind(); });
    while (!m_pServer->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

CLoopbackPbx::~CLoopbackPbx() {
    Stop();
}

std::u16string CLoopbackPbx::Host() const {
    const std::string s = "127.0.0.1:" + std::to_string(m_nPort);
    return std::u16string(s.begin(), s.end());
}

void CLoopbackPbx::SetReply(const std::string& strBody) {
    std::lock_guard lock(m_mutex);
    m_strReply = strBody;
}

std::vector<std::string> CLoopbackPbx::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void CLoopbackPbx::Stop() {
    if (!m_thread.joinable())
        return;
    m_pServer->stop();
    m_thread.join();
}
