#include "platform/posix/SyslogEventLog.h"

#include "app/TextUtil.h"

#include <mutex>
#include <syslog.h>

CSyslogEventLog::CSyslogEventLog() {
    // openlog keeps the ident pointer: a literal lives long enough.
    static std::once_flag s_once;
    std::call_once(s_once, [] { openlog("KIVO-Dialer", LOG_PID, LOG_USER); });
}

void CSyslogEventLog::ReportError(std::u16string_view text) {
    syslog(LOG_ERR, "%s", U16ToUtf8(text).c_str());
}
