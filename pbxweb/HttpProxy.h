// Which way a plain-HTTP request goes, from the environment as the usual command-line tools read it:
// http_proxy (only in lower case: a request's "Proxy:" header becomes HTTP_PROXY in CGI programs),
// else all_proxy or ALL_PROXY; no_proxy (else NO_PROXY) lists the hosts reached directly.
#pragma once

#include <functional>
#include <string>
#include <string_view>

struct CHttpProxyRoute {
    enum class EKind {
        Direct,
        Proxy,
        Unusable, // a proxy is set that cannot be used (malformed, or not a plain-HTTP proxy)
    };
    EKind eKind = EKind::Direct;
    std::string strHost; // the proxy, an IPv6 address without brackets
    unsigned short nPort = 0;
    bool bCredentials = false;
    std::string strUser, strPassword; // percent-decoded
};

// The value of an environment variable, or null when it is not set.
using GetEnvFn = std::function<const char*(const char*)>;

// The route to host (a name or an address, IPv6 without brackets) under the given environment.
CHttpProxyRoute ChooseHttpProxy(std::string_view host, const GetEnvFn& getEnv);

// Whether host is listed in a no_proxy value: "*" alone for every host; else names and addresses
// separated by commas or spaces, a name also matching its subdomains (a leading dot changes nothing),
// an address matching itself or, given as address/bits, its network. Loopback is not special.
bool IsNoProxyHost(std::string_view host, std::string_view noProxy);

// A proxy setting: [http://][user[:password]@]host[:port][/...]; the port is 1080 when none is given.
CHttpProxyRoute ParseHttpProxy(std::string_view text);

// Whether host is a host name as a URL may carry it: not empty, no control characters, spaces, colons
// or URL delimiters. Used for the proxy's name and the exchange's alike, so that neither can smuggle
// another host or a path into a request.
bool IsUrlHostName(std::string_view host);

// "Basic <base64 of user:password>", the value of a Proxy-Authorization header.
std::string BasicCredentials(const std::string& strUser, const std::string& strPassword);
