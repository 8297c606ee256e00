// Where the notification channel's ports go when the settings dialog changes "PortNum". The channel's
// own entries ("Config-UDP" "Port-Recv", "Port-Send") win over "PortNum" once they are stored, and every
// stop of the terminal stores them; without this a new "PortNum" would be registered with the exchange
// while the socket kept listening on the old port.
#pragma once

#include <cstdint>

class IProfile;

struct CChannelPorts {
    uint16_t nPortRecv = 0;
    uint16_t nPortSend = 0;
};

// The ports after "PortNum" went from nOldPortNum to nNewPortNum: a port that still follows the old
// value (receive = PortNum, send = PortNum + 1, compared as the terminal uses them, in 16 bits) moves
// with it; a port set by hand to anything else stays.
CChannelPorts FollowPortNum(int nOldPortNum, int nNewPortNum, CChannelPorts stored);

// Applies FollowPortNum to the profile's "Config-UDP" entries (absent ones read as their defaults from
// the old "PortNum") and writes back the ports that moved.
void MoveChannelPorts(IProfile& profile, int nOldPortNum, int nNewPortNum);
