// One synchronous HTTP GET, reported at the failure points the web API client tells apart.
#pragma once

#include <string>

struct CHttpReply {
    enum class EFailPoint {
        None,        // a status was received
        Connect,     // no connection object could be had
        OpenRequest, // no request could be made (malformed target ...)
        Send,        // the request could not be sent (host unknown, refused, unreachable, time-out)
        QueryStatus, // sent, but no status line came back
    };
    EFailPoint eFail = EFailPoint::None;
    // The failure came as the platform's exception: the client writes an event log entry for it.
    bool bException = false;
    long nStatus = 0;
    // The body bytes read, in the order received; only a status 200 has its body read.
    std::string body;
    // Reading the body broke off (the platform's exception); body holds what was read before.
    bool bReadFailed = false;
};

class IHttpTransport {
public:
    virtual ~IHttpTransport() = default;
    // GET http://host:port/target; host is a name or an address, an IPv6 address without brackets.
    virtual CHttpReply Get(const std::string& host, unsigned short nPort, const std::string& target,
                           const std::string& userAgent) = 0;
};
