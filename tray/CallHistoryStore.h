// The last 20 calls, placed and received, kept in the profile section "CDR".
#pragma once

#include "tray/CdrRecord.h"

#include <cstddef>
#include <ctime>
#include <list>
#include <string>
#include <string_view>
#include <vector>

class IProfile;
class IClock;

inline constexpr std::u16string_view kSectionCdr = u"CDR";
inline constexpr size_t kCdrMax = 20;
inline constexpr uint16_t kCdrModePlaced = 0;
inline constexpr uint16_t kCdrModeReceived = 1;

// Told after a record was added (a call received or placed) and saved; the open call history window
// refreshes itself from it.
class ICallHistoryListener {
public:
    virtual ~ICallHistoryListener() = default;
    virtual void OnCallHistoryChanged(const std::list<CdrRecord>& records) = 0;
};

class CCallHistoryStore {
public:
    CCallHistoryStore(IProfile& profile, IClock& clock);

    CCallHistoryStore(const CCallHistoryStore&) = delete;
    CCallHistoryStore& operator=(const CCallHistoryStore&) = delete;

    // Appends a record stamped with the current local time, dropping the oldest beyond 20, and saves
    // the history at once so that a crash or a power cut loses no call. False for an empty number.
    bool AddRecord(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode);

    // Replaces the list with the profile's records 1 upward, up to the first without a number.
    void LoadHistory();

    // Writes records 1 (the oldest) to n and puts them on disk. The records stay in the list, so a later
    // save after more calls rewrites the whole history in order.
    void SaveHistory();

    const std::list<CdrRecord>& GetCdrList() const { return m_listCdr; }

    // A listener stays registered until it is removed; it must not outlive the store without that.
    void AddListener(ICallHistoryListener& listener);
    void RemoveListener(ICallHistoryListener& listener);

private:
    IProfile& m_profile;
    IClock& m_clock;
    std::list<CdrRecord> m_listCdr;
    std::vector<ICallHistoryListener*> m_listeners;
};

// "%Y/%m/%d %H:%M:%S" of t in local time.
std::u16string FormatCdrTime(std::time_t t);

// A stored mode read the way _wtoi reads it (leading white space, a sign, digits; anything else gives 0;
// overflow saturates), kept in 16 bits.
uint16_t ParseCdrMode(std::u16string_view text);
