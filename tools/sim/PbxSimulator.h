// The exchange simulator: the web API ("regist", "call"), the manager's pages, forced replies, the
// request log, and incoming-call datagrams sent on request to the workstation that registered.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include <httplib.h>

#include "Accounts.h"
#include "ForcedReply.h"
#include "ManagerPages.h"
#include "RequestLog.h"

class CPbxSimulator {
public:
    explicit CPbxSimulator(CAccounts accounts);
    CPbxSimulator(const CPbxSimulator&) = delete;
    CPbxSimulator& operator=(const CPbxSimulator&) = delete;

    CForcedReplies& ForcedReplies() { return m_forced; }
    CRequestLog& Log() { return m_log; }

    // Binds the listening socket; port 0 picks a free one. Returns the port, or -1.
    int Bind(const std::string& strAddr, int nPort);
    // Serves until Stop; false when serving could not start.
    bool Run();
    // Ends Run, also cutting short the delays of slow replies. Callable from any thread.
    void Stop();

private:
    struct CRegistration {
        std::string m_strAddr; // the peer address of the regist request
        int m_nPort = 0;       // its port parameter; 0 when missing or not a port
    };

    void SetUpRoutes();
    void SetUpControlRoutes();
    void HandleRegist(const httplib::Request& req, httplib::Response& res);
    void HandleCall(const httplib::Request& req, httplib::Response& res);
    void HandleLogin(const httplib::Request& req, httplib::Response& res);
    void Reply(const std::string& strKind, const std::string& strBody, const httplib::Request& req,
               httplib::Response& res);
    void HandleForce(const httplib::Request& req, httplib::Response& res);
    void HandleRegistrations(httplib::Response& res);
    void HandleNotify(const httplib::Request& req, httplib::Response& res);
    std::string CookieUser(const httplib::Request& req) const;
    void WaitUnlessStopping(int nMs);

    httplib::Server m_server;
    const CAccounts m_accounts;
    CForcedReplies m_forced;
    CRequestLog m_log;

    std::mutex m_mutex; // guards what follows
    std::condition_variable m_cvStop;
    bool m_bStopping = false;
    std::map<std::string, CRegistration> m_mapRegistrations;
    std::deque<CPlacedCall> m_calls; // newest first, for the call history page
};
