#include "pbxweb/HttpProxy.h"

#include "app/AsciiText.h"
#include "platform/AddressText.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr unsigned short kDefaultProxyPort = 1080;

// A numeric address of nBytes bytes: 4 for IPv4, 16 for IPv6.
bool ParseAddress(size_t nBytes, const std::string& text, unsigned char (&bytes)[16]) {
    if (nBytes == 16)
        return ParseIPv6Address(text, bytes);
    unsigned char v4[4];
    if (!ParseIPv4Address(text, v4))
        return false;
    std::copy(std::begin(v4), std::end(v4), bytes);
    return true;
}

bool ParsePort(std::string_view text, unsigned short& nPort) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return false;
    unsigned long n = 0;
    for (char ch : text)
        n = n * 10 + static_cast<unsigned>(ch - '0');
    if (n == 0 || n > 65535)
        return false;
    nPort = static_cast<unsigned short>(n);
    return true;
}

// Whether the leading bits of two addresses of nBytes bytes agree; bits 0 asks for the whole address.
bool SameNetwork(const unsigned char* pA, const unsigned char* pB, size_t nBytes, unsigned nBits) {
    if (nBits == 0 || nBits > nBytes * 8)
        nBits = static_cast<unsigned>(nBytes * 8);
    const size_t nWhole = nBits / 8;
    if (std::memcmp(pA, pB, nWhole) != 0)
        return false;
    const unsigned nRest = nBits % 8;
    if (nRest == 0)
        return true;
    const auto mask = static_cast<unsigned char>(0xff << (8 - nRest));
    return ((pA[nWhole] ^ pB[nWhole]) & mask) == 0;
}

// An address entry, "address" or "address/bits", against the host's address of the same family.
bool MatchesAddress(size_t nBytes, const unsigned char* pHost, std::string_view token) {
    unsigned nBits = 0;
    const size_t nSlash = token.find('/');
    if (nSlash != std::string_view::npos) {
        const std::string_view bits = token.substr(nSlash + 1);
        if (bits.empty() || bits.size() > 3 ||
            !std::all_of(bits.begin(), bits.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
            return false;
        for (char ch : bits)
            nBits = nBits * 10 + static_cast<unsigned>(ch - '0');
        if (nBits > nBytes * 8)
            return false;
        token = token.substr(0, nSlash);
    }
    unsigned char net[16];
    if (!ParseAddress(nBytes, std::string(token), net))
        return false;
    return SameNetwork(pHost, net, nBytes, nBits);
}

// A name entry: the name itself or a domain above it, trailing dots and one leading dot ignored.
bool MatchesName(std::string_view name, std::string_view token) {
    if (!token.empty() && token.back() == '.')
        token.remove_suffix(1);
    if (!token.empty() && token.front() == '.')
        token.remove_prefix(1);
    if (token.empty())
        return false;
    if (token.size() == name.size())
        return EqualsAsciiNoCase(token, name);
    return token.size() < name.size() && name[name.size() - token.size() - 1] == '.' &&
           EqualsAsciiNoCase(token, name.substr(name.size() - token.size()));
}

CHttpProxyRoute Unusable() {
    CHttpProxyRoute route;
    route.eKind = CHttpProxyRoute::EKind::Unusable;
    return route;
}

} // namespace

bool IsNoProxyHost(std::string_view host, std::string_view noProxy) {
    if (noProxy == "*")
        return true;
    if (host.empty())
        return false;
    unsigned char address[16];
    const std::string strHost(host);
    size_t nBytes = 0; // the host is a name
    if (ParseAddress(4, strHost, address))
        nBytes = 4;
    else if (ParseAddress(16, strHost, address))
        nBytes = 16;
    else if (host.back() == '.')
        host.remove_suffix(1);

    size_t pos = 0;
    while (pos < noProxy.size()) {
        const size_t nEnd = std::min(noProxy.find_first_of(", ", pos), noProxy.size());
        const std::string_view token = noProxy.substr(pos, nEnd - pos);
        pos = nEnd + 1;
        if (token.empty())
            continue;
        if (nBytes != 0 ? MatchesAddress(nBytes, address, token) : MatchesName(host, token))
            return true;
    }
    return false;
}

bool IsUrlHostName(std::string_view host) {
    if (host.empty())
        return false;
    return std::none_of(host.begin(), host.end(), [](char ch) {
        const auto by = static_cast<unsigned char>(ch);
        return by <= 0x20 || by == 0x7f || std::strchr("/\\:#?!@{}[]$'\"^`*<>=;,+&()%", ch) != nullptr;
    });
}

CHttpProxyRoute ParseHttpProxy(std::string_view text) {
    const size_t nScheme = text.find("://");
    if (nScheme != std::string_view::npos) {
        // An HTTPS or SOCKS proxy would need more than this client has.
        if (!EqualsAsciiNoCase(text.substr(0, nScheme), "http"))
            return Unusable();
        text.remove_prefix(nScheme + 3);
    }
    text = text.substr(0, text.find_first_of("/?#"));

    CHttpProxyRoute route;
    route.eKind = CHttpProxyRoute::EKind::Proxy;
    route.nPort = kDefaultProxyPort;
    const size_t nAt = text.rfind('@');
    if (nAt != std::string_view::npos) {
        const std::string_view userInfo = text.substr(0, nAt);
        const size_t nColon = userInfo.find(':');
        route.bCredentials = true;
        route.strUser = PercentDecodeBytes(userInfo.substr(0, nColon));
        if (nColon != std::string_view::npos)
            route.strPassword = PercentDecodeBytes(userInfo.substr(nColon + 1));
        text.remove_prefix(nAt + 1);
    }

    std::string_view port;
    bool bHasPort = false;
    if (text.starts_with('[')) {
        const size_t nClose = text.find(']');
        if (nClose == std::string_view::npos)
            return Unusable();
        route.strHost = std::string(text.substr(1, nClose - 1));
        unsigned char address[16];
        if (!ParseIPv6Address(route.strHost, address))
            return Unusable();
        const std::string_view after = text.substr(nClose + 1);
        if (!after.empty() && !after.starts_with(':'))
            return Unusable();
        bHasPort = !after.empty();
        port = bHasPort ? after.substr(1) : after;
    } else {
        const size_t nColon = text.find(':');
        route.strHost = std::string(text.substr(0, nColon));
        if (!IsUrlHostName(route.strHost))
            return Unusable();
        bHasPort = nColon != std::string_view::npos;
        port = bHasPort ? text.substr(nColon + 1) : std::string_view();
    }
    // "host:" names no port: the default stays.
    if (bHasPort && !port.empty() && !ParsePort(port, route.nPort))
        return Unusable();
    return route;
}

CHttpProxyRoute ChooseHttpProxy(std::string_view host, const GetEnvFn& getEnv) {
    const char* pszNoProxy = getEnv("no_proxy");
    if (!pszNoProxy)
        pszNoProxy = getEnv("NO_PROXY");
    if (pszNoProxy && IsNoProxyHost(host, pszNoProxy))
        return {};

    const char* pszProxy = getEnv("http_proxy");
    if (!pszProxy)
        pszProxy = getEnv("all_proxy");
    if (!pszProxy)
        pszProxy = getEnv("ALL_PROXY");
    // Set but empty means no proxy, not the next variable.
    if (!pszProxy || !*pszProxy)
        return {};
    return ParseHttpProxy(pszProxy);
}

std::string BasicCredentials(const std::string& strUser, const std::string& strPassword) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string in = strUser + ":" + strPassword;
    std::string out = "Basic ";
    for (size_t i = 0; i < in.size(); i += 3) {
        const size_t n = std::min<size_t>(3, in.size() - i);
        unsigned long bits = 0;
        for (size_t k = 0; k < 3; ++k)
            bits = (bits << 8) | (k < n ? static_cast<unsigned char>(in[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(bits >> (18 - 6 * k)) & 0x3f] : '=';
    }
    return out;
}
