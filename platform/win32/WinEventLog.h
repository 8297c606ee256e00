// The Windows application event log: one error entry per report, source "KIVO-Dialer".
#pragma once

#include "platform/IEventLog.h"

#include <string>

class CWinEventLog : public IEventLog {
public:
    explicit CWinEventLog(std::u16string strSource = u"KIVO-Dialer") : m_strSource(std::move(strSource)) {}

    void ReportError(std::u16string_view text) override;

    // RegisterEventSourceW on the local computer, ReportEventW (error, category 0, event id 0, no user,
    // the text as the only string, no data), DeregisterEventSource. False if a step failed.
    static bool WriteErrorEntry(std::u16string_view strSource, std::u16string_view text);

private:
    std::u16string m_strSource;
};
