// An incoming-call datagram, which anyone on the network can send to the receive port: decoded and
// queued as the terminal's worker does, taken from the queue and read as the tray controller does
// (keyword, fields, display name, balloon), and its call added to the call history.
#include "FuzzInput.h"

#include "app/TextUtil.h"
#include "notify/MsgQueue.h"
#include "notify/TermUdp.h"
#include "platform/IClock.h"
#include "tray/CallHistoryStore.h"
#include "tray/NotificationText.h"

namespace {

class CFixedClock : public IClock {
public:
    std::time_t Now() override { return 1706659507; }
};

bool IsHigh(char16_t ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}

void CheckBalloon(const CIncomingCall& call) {
    const CBalloon balloon = MakeBalloon(call.strBalloonText, call.strBalloonTitle);
    FUZZ_CHECK(!balloon.strTitle.empty() && balloon.strTitle.size() <= kBalloonTitleMax);
    FUZZ_CHECK(balloon.strText.size() <= kBalloonTextMax);
    FUZZ_CHECK(call.strBalloonText.starts_with(balloon.strText));
    // A cut never leaves the first half of a surrogate pair at the end.
    if (balloon.strText.size() < call.strBalloonText.size())
        FUZZ_CHECK(balloon.strText.empty() || !IsHigh(balloon.strText.back()));
}

void CheckHistory(const CIncomingCall& call) {
    CMemoryProfile profile;
    CFixedClock clock;
    CCallHistoryStore store(profile, clock);
    const bool bAdded = store.AddRecord(call.strNumber, call.strName, kCdrModeReceived);
    FUZZ_CHECK(bAdded == !call.strNumber.empty());
    if (!bAdded)
        return;
    // What was saved at once is what the next start reads.
    CCallHistoryStore reread(profile, clock);
    reread.LoadHistory();
    FUZZ_CHECK(reread.GetCdrList().size() == 1);
    const CdrRecord& rec = reread.GetCdrList().front();
    FUZZ_CHECK(rec.strNumber == call.strNumber && rec.strName == call.strName &&
               rec.nMode == kCdrModeReceived);
}

void Dispatch(std::u16string_view strText, std::u16string_view strUser) {
    if (ReadNotifyKeyword(strText) != kKeywordRequest)
        return;
    const std::optional<CIncomingCall> call = ParseIncomingCall(strText, strUser);
    FUZZ_CHECK(call.has_value() == (SplitNotifyFields(strText)[kFieldAccount] == strUser));
    if (!call)
        return;
    CheckBalloon(*call);
    CheckHistory(*call);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    if (bytes.empty() || bytes.size() >= static_cast<size_t>(CTermUdp::kMaxDatagram))
        return 0; // never queued

    // The worker: decoded, cut at the first NUL, queued.
    std::u16string strText = Utf8ToU16(bytes);
    if (const size_t nul = strText.find(u'\0'); nul != std::u16string::npos)
        strText.resize(nul);
    CMsgQueue queue;
    queue.PutData(strText.data(), static_cast<int32_t>(strText.size() * sizeof(char16_t)));
    FUZZ_CHECK(queue.GetCount() == 1);

    // The tray controller: one record taken at a tick.
    const std::unique_ptr<CMsgData> pMsg = queue.GetMsg();
    FUZZ_CHECK(pMsg && queue.GetCount() == 0);
    const std::u16string strQueued = pMsg->Text();
    FUZZ_CHECK(strQueued == strText);

    // The call for the account it names, and for another one.
    Dispatch(strQueued, SplitNotifyFields(strQueued)[kFieldAccount]);
    Dispatch(strQueued, u"2001");
    return 0;
}
