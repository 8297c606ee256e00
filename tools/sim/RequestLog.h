// Every request the simulator received, one line each, so that a test or a person can check exactly
// what the client sent.
//
// Line format (tab-separated, newline-terminated):
//   TIME  REMOTE  METHOD  PATH  QUERY  USER_AGENT
// TIME is local time "YYYY-MM-DD HH:MM:SS.mmm"; REMOTE is "address:port" of the peer; PATH and QUERY are
// the request target as received (not percent-decoded), split at the first '?', which is dropped.
// Backslash, tab, CR, LF and other control bytes in a field are written as \\, \t, \r, \n and \xHH.
// A request that could not be parsed (answered 400) has "-" as REMOTE and the first two words of its
// request line as METHOD and target.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

struct CLogEntry {
    std::string m_strRemote; // "address:port"
    std::string m_strMethod;
    std::string m_strTarget; // raw request target
    std::string m_strUserAgent;
};

class CRequestLog {
public:
    CRequestLog() = default;
    CRequestLog(const CRequestLog&) = delete;
    CRequestLog& operator=(const CRequestLog&) = delete;
    ~CRequestLog();

    // Also appends every line to this file from now on (flushed per line).
    bool OpenFile(const std::string& strPath, std::string& strError);

    void Append(const CLogEntry& entry);
    std::string Text() const; // the lines since the start or the last Clear
    void Clear();             // the file keeps its lines

    static std::string FormatLine(const std::string& strTime, const CLogEntry& entry);

private:
    mutable std::mutex m_mutex;
    std::string m_strText;
    FILE* m_pFile = nullptr;
};
