// The simulator's control endpoints under /_sim/: forced replies, the request log, the registrations
// and incoming-call datagrams. They are not logged and ignore forced replies.
#include "PbxSimulator.h"

#include <charconv>

#include "NotifySender.h"
#include "ReplyWriter.h"

namespace {

constexpr int kMaxDatagrams = 1000;

void SetText(httplib::Response& res, int nStatus, const std::string& strText) {
    res.status = nStatus;
    res.set_content(strText + "\n", kTextPlain);
}

} // namespace

void CPbxSimulator::SetUpControlRoutes() {
    m_server.Get("/_sim/force",
                 [this](const httplib::Request& req, httplib::Response& res) { HandleForce(req, res); });
    m_server.Get("/_sim/force/clear", [this](const httplib::Request& req, httplib::Response& res) {
        std::string strKind = req.get_param_value("kind");
        if (!strKind.empty() && !IsReplyKind(strKind))
            return SetText(res, 400, "unknown kind '" + strKind + "' (regist or call)");
        m_forced.Clear(strKind);
        SetText(res, 200, "cleared " + (strKind.empty() ? std::string("all") : strKind));
    });
    m_server.Get("/_sim/force/list", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(m_forced.Describe(), kTextPlain);
    });
    m_server.Get("/_sim/log", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(m_log.Text(), kTextPlain);
    });
    m_server.Get("/_sim/log/clear", [this](const httplib::Request&, httplib::Response& res) {
        m_log.Clear();
        SetText(res, 200, "cleared");
    });
    m_server.Get("/_sim/registrations",
                 [this](const httplib::Request&, httplib::Response& res) { HandleRegistrations(res); });
    m_server.Get("/_sim/notify",
                 [this](const httplib::Request& req, httplib::Response& res) { HandleNotify(req, res); });
}

void CPbxSimulator::HandleForce(const httplib::Request& req, httplib::Response& res) {
    std::string strKind = req.get_param_value("kind");
    if (!IsReplyKind(strKind))
        return SetText(res, 400, "unknown kind '" + strKind + "' (regist or call)");
    CParamList params;
    for (const auto& [strKey, strValue] : req.params)
        if (strKey != "kind")
            params.emplace_back(strKey, strValue);
    CForcedReply reply;
    std::string strError;
    if (!ParseForcedReply(params, reply, strError))
        return SetText(res, 400, strError);
    m_forced.Add(strKind, reply);
    SetText(res, 200, "forced " + strKind + ": " + DescribeForcedReply(reply));
}

void CPbxSimulator::HandleRegistrations(httplib::Response& res) {
    std::string strText;
    std::lock_guard lock(m_mutex);
    for (const auto& [strAccount, reg] : m_mapRegistrations)
        strText += strAccount + '\t' + reg.m_strAddr + '\t' + std::to_string(reg.m_nPort) + '\n';
    res.set_content(strText, kTextPlain);
}

void CPbxSimulator::HandleNotify(const httplib::Request& req, httplib::Response& res) {
    int nCount = 1;
    if (req.has_param("count")) {
        std::string strCount = req.get_param_value("count");
        auto [p, ec] = std::from_chars(strCount.data(), strCount.data() + strCount.size(), nCount);
        if (ec != std::errc() || p != strCount.data() + strCount.size() || nCount < 1 ||
            nCount > kMaxDatagrams)
            return SetText(res, 400, "count must be 1.." + std::to_string(kMaxDatagrams));
    }

    std::string strAccount = req.get_param_value("account");
    CLoopbackTarget target;
    std::string strError;
    if (req.has_param("to")) {
        if (!ParseLoopbackTarget(req.get_param_value("to"), target, strError))
            return SetText(res, 403, strError);
    } else {
        if (strAccount.empty())
            return SetText(res, 400, "account or to is needed");
        CRegistration reg;
        {
            std::lock_guard lock(m_mutex);
            auto it = m_mapRegistrations.find(strAccount);
            if (it == m_mapRegistrations.end())
                return SetText(res, 404, "account " + strAccount + " has not registered");
            reg = it->second;
        }
        if (reg.m_nPort == 0)
            return SetText(res, 409, "account " + strAccount + " registered without a usable port");
        // The workstation receives on IPv4 only: one that registered over IPv6 loopback gets 127.0.0.1.
        std::string strAddr = reg.m_strAddr == "::1" ? "127.0.0.1" : reg.m_strAddr;
        if (!MakeLoopbackTarget(strAddr, reg.m_nPort, target, strError))
            return SetText(res, 403, strError);
    }

    std::string strBytes;
    if (req.has_param("raw")) {
        strBytes = req.get_param_value("raw");
    } else {
        strBytes = BuildIncomingCall({strAccount, req.get_param_value("number"), req.get_param_value("name"),
                                      req.get_param_value("supp"), req.get_param_value("title"),
                                      req.get_param_value("prefix"), req.get_param_value("line1"),
                                      req.get_param_value("line2")});
    }
    if (!SendDatagrams(target, strBytes, nCount, strError))
        return SetText(res, 500, strError);
    SetText(res, 200,
            "sent " + std::to_string(nCount) + " datagram(s) of " + std::to_string(strBytes.size()) +
                " bytes to " + target.m_strText);
}
