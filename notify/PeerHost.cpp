#include "notify/PeerHost.h"

#include "app/TextUtil.h"
#include "platform/HostNames.h"

bool ResolvePeerHost(std::u16string_view strHost, const std::string& strOwnName, uint32_t& addr) {
    if (!strHost.empty() && strHost != u"localhost")
        return LookUpIPv4(U16ToUtf8(strHost), addr);
    if (LookUpIPv4(strOwnName, addr))
        return true;
    // The home platform always resolves its own computer name; a Linux host name missing from
    // /etc/hosts and DNS must not keep the channel closed, so this computer is then its loopback.
    addr = LoopbackIPv4();
    return true;
}

bool ResolvePeerHost(std::u16string_view strHost, uint32_t& addr) {
    return ResolvePeerHost(strHost, LocalHostName(), addr);
}
