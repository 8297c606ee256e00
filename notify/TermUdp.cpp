#include "notify/TermUdp.h"

#include "app/TextUtil.h"
#include "notify/PeerHost.h"
#include "platform/IProfile.h"

CTermUdp::CTermUdp(CMsgQueue* pQueue, int nBasePort, IProfile& profile)
    : CTerm(pQueue), m_nBasePort(nBasePort), m_profile(profile) {}

CTermUdp::~CTermUdp() {
    StopWorker();
    m_pSocket->Close();
}

void CTermUdp::RequestStop() {
    CTerm::RequestStop();
    // Seen by the worker beside the socket: the stop takes effect at once, not at the end of the
    // current wait.
    m_pSocket->Wake();
}

bool CTermUdp::Initialize() {
    return m_pSocket->CreateWake();
}

void CTermUdp::Close() {
    // Once the worker runs, the socket is its own to close; closing it here as well would race with
    // its wait and could close a descriptor number that has been reused meanwhile.
    if (!m_bRunning)
        m_pSocket->Close();
    CTerm::Close();
}

void CTermUdp::LoadSettings() {
    m_strHost = m_profile.GetProfileString(kConfigUdpSection, u"Host", u"localhost");
    // "PortNum" is used as stored, so the base may be any integer: the sum wraps instead of overflowing.
    const int nSendDefault = static_cast<int>(static_cast<uint32_t>(m_nBasePort) + 1u);
    m_nPortSend =
        static_cast<uint16_t>(m_profile.GetProfileInt(kConfigUdpSection, u"Port-Send", nSendDefault));
    m_nPortRecv =
        static_cast<uint16_t>(m_profile.GetProfileInt(kConfigUdpSection, u"Port-Recv", m_nBasePort));
}

void CTermUdp::SaveSettings() {
    m_profile.WriteProfileString(kConfigUdpSection, u"Host", m_strHost);
    m_profile.WriteProfileInt(kConfigUdpSection, u"Port-Send", m_nPortSend);
    m_profile.WriteProfileInt(kConfigUdpSection, u"Port-Recv", m_nPortRecv);
    m_profile.Flush();
}

bool CTermUdp::Open() {
    if (m_pSocket->IsOpen())
        return true;
    // The address is not used for traffic: the host only decides whether the channel starts.
    if (!ResolvePeerHost(m_strHost, m_addrDest))
        return false;
    if (!m_pSocket->Bind(m_nPortRecv))
        return false;
    if (!CTerm::Open()) {
        m_pSocket->Close();
        return false;
    }
    return true;
}

void CTermUdp::Run() {
    while (!IsStopRequested()) {
        if (m_pSocket->Wait(kWaitMs) == IUdpSocket::EWait::Readable)
            Receive();
    }
    m_pSocket->Close();
    CTerm::Run();
}

bool CTermUdp::Receive() {
    char buf[kReceiveBuffer];
    size_t n = 0;
    const IUdpSocket::EReceive eGot = m_pSocket->Receive(buf, sizeof buf, n);
    // A longer datagram is cut to the buffer; the home platform reports it as an error and loses it,
    // and so does this.
    if (eGot != IUdpSocket::EReceive::Datagram)
        return false;
    if (n >= kMaxDatagram)
        return true;
    std::u16string text = Utf8ToU16(std::string_view(buf, n));
    if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos)
        text.resize(nul);
    PostData(text.data(), static_cast<int32_t>(text.size() * sizeof(char16_t)));
    return true;
}
