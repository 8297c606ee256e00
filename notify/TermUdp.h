// The receiving end of the notification channel: one UDP socket, one datagram per read event.
#pragma once

#include "notify/Term.h"

#include "platform/IUdpSocket.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class IProfile;

// The profile section of the channel's settings: "Host", "Port-Send", "Port-Recv".
inline constexpr std::u16string_view kConfigUdpSection = u"Config-UDP";

class CTermUdp : public CTerm {
public:
    CTermUdp(CMsgQueue* pQueue, int nBasePort, IProfile& profile);
    // Stops and joins the worker if it is still there, then releases the socket and its wake-up.
    ~CTermUdp() override;

    void RequestStop() override;
    // Creates what wakes the worker at a stop request; false if it cannot be created.
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
    uint32_t m_addrDest = 0; // network byte order
    std::unique_ptr<IUdpSocket> m_pSocket = CreateUdpSocket();
    int m_nBasePort;

protected:
    void Run() override;

private:
    bool Receive();

    IProfile& m_profile;
};
