#include "PbxSimulator.h"

#include <charconv>
#include <ctime>

#include "ReplyWriter.h"

namespace {

constexpr const char* kTextHtml = "text/html; charset=utf-8";
constexpr const char* kCookieName = "kivosim_user";
constexpr size_t kMaxCalls = 50;

std::string Param(const httplib::Request& req, const char* pszKey) {
    return req.get_param_value(pszKey);
}

std::string RemoteText(const httplib::Request& req) {
    bool bV6 = req.remote_addr.find(':') != std::string::npos;
    return (bV6 ? "[" + req.remote_addr + "]" : req.remote_addr) + ":" + std::to_string(req.remote_port);
}

int PortParam(const std::string& strText) {
    int nPort = 0;
    auto [p, ec] = std::from_chars(strText.data(), strText.data() + strText.size(), nPort);
    bool bOk = ec == std::errc() && p == strText.data() + strText.size() && nPort > 0 && nPort < 65536;
    return bOk ? nPort : 0;
}

std::string LocalTimeText() {
    time_t t = time(nullptr);
    struct tm tmLocal;
    localtime_r(&t, &tmLocal);
    char szTime[32];
    strftime(szTime, sizeof szTime, "%Y/%m/%d %H:%M:%S", &tmLocal);
    return szTime;
}

// Only a path on this server: never send the browser elsewhere.
bool IsLocalPath(const std::string& strUrl) {
    return !strUrl.empty() && strUrl[0] == '/' && strUrl.compare(0, 2, "//") != 0 &&
           strUrl.find_first_of("\r\n\\") == std::string::npos;
}

} // namespace

CPbxSimulator::CPbxSimulator(CAccounts accounts) : m_accounts(std::move(accounts)) {
    // Bounds how long Stop waits for an idle browser connection.
    m_server.set_keep_alive_timeout(1);
    m_server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        if (req.path.compare(0, 6, "/_sim/") != 0)
            m_log.Append({RemoteText(req), req.method, req.target, req.get_header_value("User-Agent")});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // A request whose request line or headers httplib cannot parse (a raw space in the target, for one)
    // never reaches routing and is answered 400; it is logged here with "-" for the peer, which httplib
    // has not filled in, and the first two words of its request line.
    m_server.set_logger([this](const httplib::Request& req, const httplib::Response&) {
        if (req.remote_port < 0)
            m_log.Append({"-", req.method, req.target, ""});
    });
    SetUpRoutes();
    SetUpControlRoutes();
}

int CPbxSimulator::Bind(const std::string& strAddr, int nPort) {
    if (nPort == 0)
        return m_server.bind_to_any_port(strAddr);
    return m_server.bind_to_port(strAddr, nPort) ? nPort : -1;
}

bool CPbxSimulator::Run() {
    return m_server.listen_after_bind();
}

void CPbxSimulator::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    m_cvStop.notify_all();
    m_server.stop();
}

void CPbxSimulator::WaitUnlessStopping(int nMs) {
    std::unique_lock lock(m_mutex);
    m_cvStop.wait_for(lock, std::chrono::milliseconds(nMs), [this] { return m_bStopping; });
}

void CPbxSimulator::SetUpRoutes() {
    m_server.Get("/manager/kivodialer/regist",
                 [this](const httplib::Request& req, httplib::Response& res) { HandleRegist(req, res); });
    m_server.Get("/manager/kivodialer/call",
                 [this](const httplib::Request& req, httplib::Response& res) { HandleCall(req, res); });
    m_server.Get("/manager/login",
                 [this](const httplib::Request& req, httplib::Response& res) { HandleLogin(req, res); });
    m_server.Get("/manager/", [this](const httplib::Request& req, httplib::Response& res) {
        res.set_content(ManagerPage(CookieUser(req)), kTextHtml);
    });
    m_server.Get("/manager",
                 [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/manager/"); });
    m_server.Get("/addrbook", [this](const httplib::Request& req, httplib::Response& res) {
        res.set_content(AddrbookPage(CookieUser(req)), kTextHtml);
    });
    m_server.Get("/cdr", [this](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(m_mutex);
        res.set_content(CdrPage(CookieUser(req), {m_calls.begin(), m_calls.end()}), kTextHtml);
    });
}

void CPbxSimulator::HandleRegist(const httplib::Request& req, httplib::Response& res) {
    std::string strBody = "NG;Auth NG";
    if (auto account = m_accounts.Check(Param(req, "callid"), Param(req, "passwd"))) {
        // Recorded whatever reply is forced, so that notifications can still be sent afterwards.
        std::lock_guard lock(m_mutex);
        m_mapRegistrations[*account] = {req.remote_addr, PortParam(Param(req, "port"))};
        strBody = "OK";
    }
    Reply("regist", strBody, req, res);
}

void CPbxSimulator::HandleCall(const httplib::Request& req, httplib::Response& res) {
    std::string strBody = "NG;Auth NG";
    if (auto account = m_accounts.Check(Param(req, "callid"), Param(req, "passwd"))) {
        std::string strDialNo = Param(req, "dialno");
        strBody = strDialNo.empty() ? "Call_NG" : "Call_OK";
        if (!strDialNo.empty()) {
            std::lock_guard lock(m_mutex);
            m_calls.push_front({LocalTimeText(), *account, strDialNo});
            if (m_calls.size() > kMaxCalls)
                m_calls.pop_back();
        }
    }
    Reply("call", strBody, req, res);
}

void CPbxSimulator::Reply(const std::string& strKind, const std::string& strBody, const httplib::Request& req,
                          httplib::Response& res) {
    auto forced = m_forced.Take(strKind);
    if (!forced) {
        res.set_content(strBody, kTextPlain);
        return;
    }
    if (forced->m_nDelayMs > 0)
        WaitUnlessStopping(forced->m_nDelayMs);
    WriteForcedReply(*forced, strBody, req, res);
}

void CPbxSimulator::HandleLogin(const httplib::Request& req, httplib::Response& res) {
    // httplib has percent-decoded the values into the bytes the browser sent (code page 932 from Windows).
    auto account = m_accounts.Check(Param(req, "username"), Param(req, "password"));
    if (!account) {
        res.set_content(LoginFailedPage(), kTextHtml);
        return;
    }
    std::string strRedirect = Param(req, "redirecturl");
    res.set_header("Set-Cookie", std::string(kCookieName) + "=" +
                                     httplib::detail::encode_query_param(*account) + "; Path=/");
    res.set_redirect(IsLocalPath(strRedirect) ? strRedirect : "/manager/", 302);
}

std::string CPbxSimulator::CookieUser(const httplib::Request& req) const {
    std::string strCookies = req.get_header_value("Cookie");
    std::string strKey = std::string(kCookieName) + "=";
    size_t nPos = strCookies.find(strKey);
    if (nPos == std::string::npos || (nPos > 0 && strCookies[nPos - 1] != ' ' && strCookies[nPos - 1] != ';'))
        return {};
    nPos += strKey.size();
    size_t nEnd = strCookies.find(';', nPos);
    return httplib::detail::decode_url(
        strCookies.substr(nPos, nEnd == std::string::npos ? nEnd : nEnd - nPos), false);
}
