// The "PBX" setting as the web API reaches it: a host and a port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct CPbxServer {
    std::string strHost; // UTF-8, without brackets
    unsigned short nPort = 80;
};

// Takes "host", "host:port", "[v6]" or "[v6]:port"; a bare IPv6 address (more than one colon) is a host
// alone. Port 80 when none is given. nullopt when no request can be addressed with the text: an empty
// host, a port that is not 1 to 65535, or a character that would change the URL (space, '/', '@' ...).
std::optional<CPbxServer> ParsePbxServer(std::u16string_view strServer);
