#include "tray/CallHistoryStore.h"

#include "app/TextUtil.h"
#include "platform/IClock.h"
#include "platform/IProfile.h"
#include "platform/LocalTime.h"

#include <algorithm>
#include <climits>

namespace {
std::u16string Entry(std::u16string_view name, size_t n) {
    return std::u16string(name) + ToU16Decimal(static_cast<long long>(n));
}
} // namespace

CCallHistoryStore::CCallHistoryStore(IProfile& profile, IClock& clock) : m_profile(profile), m_clock(clock) {}

bool CCallHistoryStore::AddRecord(const std::u16string& strNumber, const std::u16string& strName,
                                  uint16_t nMode) {
    if (strNumber.empty())
        return false;
    if (m_listCdr.size() >= kCdrMax)
        m_listCdr.pop_front();
    m_listCdr.push_back(CdrRecord{strNumber, strName, FormatCdrTime(m_clock.Now()), nMode});
    SaveHistory();
    // A copy: a listener may remove itself while it is told.
    const std::vector<ICallHistoryListener*> listeners = m_listeners;
    for (ICallHistoryListener* pListener : listeners)
        pListener->OnCallHistoryChanged(m_listCdr);
    return true;
}

void CCallHistoryStore::AddListener(ICallHistoryListener& listener) {
    if (std::find(m_listeners.begin(), m_listeners.end(), &listener) == m_listeners.end())
        m_listeners.push_back(&listener);
}

void CCallHistoryStore::RemoveListener(ICallHistoryListener& listener) {
    std::erase(m_listeners, &listener);
}

void CCallHistoryStore::LoadHistory() {
    m_listCdr.clear();
    for (size_t n = 1; n <= kCdrMax; ++n) {
        CdrRecord rec;
        rec.strNumber = m_profile.GetProfileString(kSectionCdr, Entry(u"CallNum", n), {});
        rec.strName = m_profile.GetProfileString(kSectionCdr, Entry(u"CallName", n), {});
        const std::u16string strMode = m_profile.GetProfileString(kSectionCdr, Entry(u"Mode", n), {});
        rec.strTime = m_profile.GetProfileString(kSectionCdr, Entry(u"Time", n), {});
        if (rec.strNumber.empty())
            break;
        rec.nMode = ParseCdrMode(strMode);
        m_listCdr.push_back(std::move(rec));
    }
}

void CCallHistoryStore::SaveHistory() {
    size_t n = 1;
    for (const CdrRecord& rec : m_listCdr) {
        m_profile.WriteProfileString(kSectionCdr, Entry(u"CallNum", n), rec.strNumber);
        m_profile.WriteProfileString(kSectionCdr, Entry(u"CallName", n), rec.strName);
        m_profile.WriteProfileString(kSectionCdr, Entry(u"Time", n), rec.strTime);
        m_profile.WriteProfileString(kSectionCdr, Entry(u"Mode", n), ToU16Decimal(rec.nMode));
        ++n;
    }
    m_profile.Flush();
}

std::u16string FormatCdrTime(std::time_t t) {
    std::tm tmLocal{};
    if (!ToLocalTime(t, tmLocal))
        return {};
    char buf[64];
    const size_t len = std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tmLocal);
    return U16(std::string_view(buf, len));
}

uint16_t ParseCdrMode(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsWSpace(text[i]))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        bNegative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (bNegative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<uint16_t>(static_cast<int>(value));
}
