// The system log, in place of the Windows event log (source "KIVO-Dialer", error entries).
#pragma once

#include <string_view>

class IEventLog {
public:
    virtual ~IEventLog() = default;
    virtual void ReportError(std::u16string_view text) = 0;
};
