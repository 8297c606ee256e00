// The notification channel's "Config-UDP" settings over whatever the profile holds: the input is a
// profile (see ProfileFromInput), section "Config-UDP" unless it names others; "PortNum" of "Settings" is
// the base port. The channel is never opened: that would look the host up.
#include "FuzzInput.h"

#include "notify/MsgQueue.h"
#include "notify/TermUdp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), u"Config-UDP");
    const int nBasePort = profile.GetProfileInt(u"Settings", u"PortNum", 10640);
    const int nStoredRecv = profile.GetProfileInt(u"Config-UDP", u"Port-Recv", nBasePort);
    const int nSendDefault = static_cast<int>(static_cast<uint32_t>(nBasePort) + 1u);
    const int nStoredSend = profile.GetProfileInt(u"Config-UDP", u"Port-Send", nSendDefault);

    CMsgQueue queue;
    CTermUdp term(&queue, nBasePort, profile);
    term.LoadSettings();
    // Both ports are the low 16 bits of what is stored.
    FUZZ_CHECK(term.m_nPortRecv == static_cast<uint16_t>(nStoredRecv));
    FUZZ_CHECK(term.m_nPortSend == static_cast<uint16_t>(nStoredSend));
    FUZZ_CHECK(term.m_strHost == profile.GetProfileString(u"Config-UDP", u"Host", u"localhost"));

    // Written back at the stop, read again at the next start: the same settings.
    term.SaveSettings();
    CTermUdp again(&queue, nBasePort ^ 1, profile); // the stored entries win over any base
    again.LoadSettings();
    FUZZ_CHECK(again.m_strHost == term.m_strHost && again.m_nPortRecv == term.m_nPortRecv &&
               again.m_nPortSend == term.m_nPortSend);
    return 0;
}
