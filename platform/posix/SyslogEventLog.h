// The system log in place of the Windows event log: error entries under the source "KIVO-Dialer".
#pragma once

#include "platform/IEventLog.h"

class CSyslogEventLog : public IEventLog {
public:
    CSyslogEventLog();
    void ReportError(std::u16string_view text) override;
};
