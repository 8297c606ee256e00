#include "notify/PeerHost.h"

#include "app/TextUtil.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool ResolveName(const std::string& name, in_addr_t& addr) {
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

} // namespace

bool ResolvePeerHost(std::u16string_view strHost, const std::string& strOwnName, in_addr_t& addr) {
    if (!strHost.empty() && strHost != u"localhost")
        return ResolveName(U16ToUtf8(strHost), addr);
    if (ResolveName(strOwnName, addr))
        return true;
    // The home platform always resolves its own computer name; a Linux host name missing from
    // /etc/hosts and DNS must not keep the channel closed, so this computer is then its loopback.
    addr = htonl(INADDR_LOOPBACK);
    return true;
}

bool ResolvePeerHost(std::u16string_view strHost, in_addr_t& addr) {
    char szName[256] = {};
    if (gethostname(szName, sizeof szName - 1) != 0)
        szName[0] = '\0';
    return ResolvePeerHost(strHost, std::string(szName), addr);
}
