// Incoming-call datagrams to a workstation on this machine. Sending is limited to loopback addresses:
// the simulator must never put a datagram on the network.
#pragma once

#include <string>

#include <sys/socket.h>

struct CIncomingCall {
    std::string m_strAccount, m_strNumber, m_strName, m_strSupp, m_strTitle;
    std::string m_strPrefix, m_strLine1, m_strLine2;
};

// The eleven fields, each followed by a tab: request, account, (unused), number, name, supplement,
// (unused), title, prefix, line 1, line 2.
std::string BuildIncomingCall(const CIncomingCall& call);

struct CLoopbackTarget {
    sockaddr_storage m_addr{};
    socklen_t m_nLen = 0;
    std::string m_strText; // as "address:port", for messages
};

// A numeric address (127.0.0.0/8, ::1 or an IPv4-mapped 127.x address) and a port 1..65535; false with
// a reason for anything else, names included.
bool MakeLoopbackTarget(const std::string& strHost, int nPort, CLoopbackTarget& target,
                        std::string& strError);

// "127.0.0.1:PORT" or "[::1]:PORT".
bool ParseLoopbackTarget(const std::string& strHostPort, CLoopbackTarget& target, std::string& strError);

// Sends the bytes nCount times as separate datagrams.
bool SendDatagrams(const CLoopbackTarget& target, const std::string& strBytes, int nCount,
                   std::string& strError);
