// The receiving end of the notification channel: one UDP socket, one datagram per read event.
#pragma once

#include "notify/Term.h"

#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <string_view>

class IProfile;

// The profile section of the channel's settings: "Host", "Port-Send", "Port-Recv".
inline constexpr std::u16string_view kConfigUdpSection = u"Config-UDP";

class CTermUdp : public CTerm {
public:
    CTermUdp(CMsgQueue* pQueue, int nBasePort, IProfile& profile);
    // Stops and joins the worker if it is still there, then releases the socket and the stop pipe.
    ~CTermUdp() override;

    void RequestStop() override;
    // Creates the pipe that wakes the worker at a stop request; false if it cannot be created.
    bool Initialize() override;
    // Requests the stop. The worker closes the socket once it sees the stop; a socket that no
    // worker ever ran with is closed here.
    void Close() override;
    // Section "Config-UDP": Host, Port-Send, Port-Recv, in this order.
    void LoadSettings() override;
    void SaveSettings() override;
    // Resolves the host, binds the socket to every interface at m_nPortRecv, resumes the worker.
    bool Open() override;

    // Datagrams of this many bytes or more are dropped.
    static constexpr int kMaxDatagram = 2048;
    static constexpr int kReceiveBuffer = 8192;
    static constexpr int kWaitMs = 250;

    std::u16string m_strHost;
    uint16_t m_nPortRecv = 0;
    uint16_t m_nPortSend = 0;
    in_addr_t m_addrDest = 0;
    int m_sock = -1;
    int m_nBasePort;

protected:
    void Run() override;

private:
    bool Receive();
    bool CloseSocket();

    IProfile& m_profile;
    // Written by RequestStop, watched by the worker beside the socket: a stop is seen at once
    // instead of at the end of the current wait.
    int m_hWakeRead = -1;
    int m_hWakeWrite = -1;
};
