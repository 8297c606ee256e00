// An event log that keeps its entries, for tests.
#pragma once

#include "platform/IEventLog.h"

#include <string>
#include <vector>

class CRecordingEventLog : public IEventLog {
public:
    void ReportError(std::u16string_view text) override { m_entries.emplace_back(text); }
    std::vector<std::u16string> m_entries;
};
