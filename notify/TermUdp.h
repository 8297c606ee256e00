// The receiving end of the notification channel: one UDP socket, one datagram per read event.
#pragma once

#include "notify/Term.h"

#include <cstdint>
#include <netinet/in.h>
#include <string>

class IProfile;

class CTermUdp : public CTerm {
public:
    CTermUdp(CMsgQueue* pQueue, int nBasePort, IProfile& profile);
    ~CTermUdp() override;

    bool Initialize() override;
    void Close() override;
    void LoadSettings() override;
    void SaveSettings() override;
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
};
