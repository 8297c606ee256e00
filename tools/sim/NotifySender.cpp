#include "NotifySender.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

std::string BuildIncomingCall(const CIncomingCall& call) {
    const std::string strKeyword = "request", strUnused;
    const std::string* fields[] = {&strKeyword,       &call.m_strAccount, &strUnused,      &call.m_strNumber,
                                   &call.m_strName,   &call.m_strSupp,    &strUnused,      &call.m_strTitle,
                                   &call.m_strPrefix, &call.m_strLine1,   &call.m_strLine2};
    std::string str;
    for (const std::string* pField : fields)
        str += *pField + '\t';
    return str;
}

bool MakeLoopbackTarget(const std::string& strHost, int nPort, CLoopbackTarget& target,
                        std::string& strError) {
    if (nPort < 1 || nPort > 65535) {
        strError = "bad port " + std::to_string(nPort);
        return false;
    }
    target = CLoopbackTarget();
    in_addr addr4{};
    in6_addr addr6{};
    if (inet_pton(AF_INET6, strHost.c_str(), &addr6) == 1 && IN6_IS_ADDR_V4MAPPED(&addr6)) {
        // A dual-stack server reports IPv4 peers as ::ffff:a.b.c.d; the workstation listens on IPv4.
        memcpy(&addr4, &addr6.s6_addr[12], 4);
    } else if (inet_pton(AF_INET6, strHost.c_str(), &addr6) == 1) {
        if (!IN6_IS_ADDR_LOOPBACK(&addr6)) {
            strError = "refused: " + strHost + " is not a loopback address";
            return false;
        }
        auto* pAddr = reinterpret_cast<sockaddr_in6*>(&target.m_addr);
        pAddr->sin6_family = AF_INET6;
        pAddr->sin6_addr = addr6;
        pAddr->sin6_port = htons(static_cast<uint16_t>(nPort));
        target.m_nLen = sizeof(sockaddr_in6);
        target.m_strText = "[" + strHost + "]:" + std::to_string(nPort);
        return true;
    } else if (inet_pton(AF_INET, strHost.c_str(), &addr4) != 1) {
        strError = "refused: " + strHost + " is not a numeric loopback address";
        return false;
    }
    if ((ntohl(addr4.s_addr) >> 24) != 127) {
        strError = "refused: " + strHost + " is not a loopback address";
        return false;
    }
    auto* pAddr = reinterpret_cast<sockaddr_in*>(&target.m_addr);
    pAddr->sin_family = AF_INET;
    pAddr->sin_addr = addr4;
    pAddr->sin_port = htons(static_cast<uint16_t>(nPort));
    target.m_nLen = sizeof(sockaddr_in);
    char szAddr[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &addr4, szAddr, sizeof szAddr);
    target.m_strText = std::string(szAddr) + ":" + std::to_string(nPort);
    return true;
}

bool ParseLoopbackTarget(const std::string& strHostPort, CLoopbackTarget& target, std::string& strError) {
    size_t nColon = strHostPort.rfind(':');
    if (nColon == std::string::npos) {
        strError = "expected address:port, got '" + strHostPort + "'";
        return false;
    }
    std::string strHost = strHostPort.substr(0, nColon);
    if (strHost.size() >= 2 && strHost.front() == '[' && strHost.back() == ']')
        strHost = strHost.substr(1, strHost.size() - 2);
    const char* pFirst = strHostPort.data() + nColon + 1;
    const char* pLast = strHostPort.data() + strHostPort.size();
    int nPort = 0;
    auto [p, ec] = std::from_chars(pFirst, pLast, nPort);
    if (ec != std::errc() || p != pLast || pFirst == pLast) {
        strError = "bad port in '" + strHostPort + "'";
        return false;
    }
    return MakeLoopbackTarget(strHost, nPort, target, strError);
}

bool SendDatagrams(const CLoopbackTarget& target, const std::string& strBytes, int nCount,
                   std::string& strError) {
    int fd = socket(target.m_addr.ss_family, SOCK_DGRAM, 0);
    if (fd < 0) {
        strError = std::string("socket: ") + strerror(errno);
        return false;
    }
    bool bOk = true;
    for (int i = 0; i < nCount && bOk; ++i) {
        ssize_t nSent = sendto(fd, strBytes.data(), strBytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&target.m_addr), target.m_nLen);
        if (nSent != static_cast<ssize_t>(strBytes.size())) {
            strError = "sendto " + target.m_strText + ": " + (nSent < 0 ? strerror(errno) : "short write");
            bOk = false;
        }
    }
    close(fd);
    return bOk;
}
