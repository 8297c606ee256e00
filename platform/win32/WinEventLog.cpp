#include "platform/win32/WinEventLog.h"

#include <windows.h>

void CWinEventLog::ReportError(std::u16string_view text) {
    WriteErrorEntry(m_strSource, text);
}

bool CWinEventLog::WriteErrorEntry(std::u16string_view strSource, std::u16string_view text) {
    const std::wstring strSourceW(strSource.begin(), strSource.end());
    const std::wstring strText(text.begin(), text.end());
    HANDLE hLog = RegisterEventSourceW(nullptr, strSourceW.c_str());
    if (!hLog)
        return false;
    LPCWSTR strings[1] = {strText.c_str()};
    const BOOL bReported = ReportEventW(hLog, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(hLog);
    return bReported != FALSE;
}
