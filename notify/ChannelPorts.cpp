#include "notify/ChannelPorts.h"

#include "notify/TermUdp.h"
#include "platform/IProfile.h"

namespace {

// PortNum is used as stored, so the sum wraps instead of overflowing, as the terminal's default does.
uint16_t Port(int nValue, unsigned nAdd = 0) {
    return static_cast<uint16_t>(static_cast<uint32_t>(nValue) + nAdd);
}

} // namespace

CChannelPorts FollowPortNum(int nOldPortNum, int nNewPortNum, CChannelPorts stored) {
    CChannelPorts result = stored;
    if (stored.nPortRecv == Port(nOldPortNum))
        result.nPortRecv = Port(nNewPortNum);
    if (stored.nPortSend == Port(nOldPortNum, 1))
        result.nPortSend = Port(nNewPortNum, 1);
    return result;
}

void MoveChannelPorts(IProfile& profile, int nOldPortNum, int nNewPortNum) {
    if (nOldPortNum == nNewPortNum)
        return;
    const CChannelPorts stored{
        Port(profile.GetProfileInt(kConfigUdpSection, u"Port-Recv", nOldPortNum)),
        Port(profile.GetProfileInt(kConfigUdpSection, u"Port-Send", static_cast<int>(Port(nOldPortNum, 1)))),
    };
    const CChannelPorts moved = FollowPortNum(nOldPortNum, nNewPortNum, stored);
    if (moved.nPortRecv != stored.nPortRecv)
        profile.WriteProfileInt(kConfigUdpSection, u"Port-Recv", moved.nPortRecv);
    if (moved.nPortSend != stored.nPortSend)
        profile.WriteProfileInt(kConfigUdpSection, u"Port-Send", moved.nPortSend);
    profile.Flush();
}
