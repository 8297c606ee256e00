// The call history loader over whatever the profile holds: the input is a profile (see
// ProfileFromInput), section "CDR" unless it names others.
#include "FuzzInput.h"

#include "platform/IClock.h"
#include "tray/CallHistoryStore.h"

namespace {

class CFixedClock : public IClock {
public:
    std::time_t Now() override { return 1706659507; }
};

bool SameRecords(const std::list<CdrRecord>& a, const std::list<CdrRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const CdrRecord& x, const CdrRecord& y) {
        return x.strNumber == y.strNumber && x.strName == y.strName && x.strTime == y.strTime &&
               x.nMode == y.nMode;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), kSectionCdr);
    CFixedClock clock;
    CCallHistoryStore store(profile, clock);
    store.LoadHistory();
    const std::list<CdrRecord> loaded = store.GetCdrList();
    FUZZ_CHECK(loaded.size() <= kCdrMax);
    for (const CdrRecord& rec : loaded)
        FUZZ_CHECK(!rec.strNumber.empty());

    // Saved and read again, the history is the same, whatever was stored beyond it.
    store.SaveHistory();
    CCallHistoryStore reread(profile, clock);
    reread.LoadHistory();
    FUZZ_CHECK(SameRecords(reread.GetCdrList(), loaded));

    // A call after the load keeps the newest 20 and loses none of them.
    FUZZ_CHECK(store.AddRecord(u"0312345678", u"", kCdrModePlaced));
    FUZZ_CHECK(store.GetCdrList().size() == std::min(loaded.size() + 1, kCdrMax));
    FUZZ_CHECK(store.GetCdrList().back().strNumber == u"0312345678");
    // Entries beyond the saved records are left as they were, so a record stored by hand after a gap
    // may follow them at the next start; the saved ones come first, in order.
    CCallHistoryStore afterCall(profile, clock);
    afterCall.LoadHistory();
    std::list<CdrRecord> head = afterCall.GetCdrList();
    head.resize(std::min(head.size(), store.GetCdrList().size()));
    FUZZ_CHECK(SameRecords(head, store.GetCdrList()));
    return 0;
}
