#include "platform/HostNames.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

std::string LocalHostName() {
    char szName[256] = {};
    if (gethostname(szName, sizeof szName - 1) != 0)
        return {};
    return szName;
}

bool LookUpIPv4(const std::string& name, uint32_t& addr) {
    // A name with a NUL in it would be looked up only up to the NUL: a different name.
    if (name.find('\0') != std::string::npos)
        return false;
    const in_addr_t dotted = inet_addr(name.c_str());
    if (dotted != INADDR_NONE) {
        addr = dotted;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry per address, not one per socket type
    addrinfo* pList = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &pList) != 0 || pList == nullptr)
        return false;
    addr = reinterpret_cast<const sockaddr_in*>(pList->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(pList);
    return true;
}

uint32_t LoopbackIPv4() {
    return htonl(INADDR_LOOPBACK);
}
