#include "RequestLog.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace {

std::string Escape(const std::string& strField) {
    std::string str;
    for (unsigned char ch : strField) {
        switch (ch) {
        case '\\':
            str += "\\\\";
            break;
        case '\t':
            str += "\\t";
            break;
        case '\r':
            str += "\\r";
            break;
        case '\n':
            str += "\\n";
            break;
        default:
            if (ch < 0x20 || ch == 0x7f) {
                char szHex[8];
                snprintf(szHex, sizeof szHex, "\\x%02X", ch);
                str += szHex;
            } else {
                str += static_cast<char>(ch);
            }
        }
    }
    return str;
}

std::string NowText() {
    using namespace std::chrono;
    auto now = system_clock::now();
    time_t t = system_clock::to_time_t(now);
    int nMs = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    struct tm tmLocal;
    localtime_r(&t, &tmLocal);
    char szTime[40];
    size_t n = strftime(szTime, sizeof szTime, "%Y-%m-%d %H:%M:%S", &tmLocal);
    snprintf(szTime + n, sizeof szTime - n, ".%03d", nMs);
    return szTime;
}

} // namespace

CRequestLog::~CRequestLog() {
    if (m_pFile)
        fclose(m_pFile);
}

bool CRequestLog::OpenFile(const std::string& strPath, std::string& strError) {
    FILE* pFile = fopen(strPath.c_str(), "a");
    if (!pFile) {
        strError = strPath + ": " + strerror(errno);
        return false;
    }
    std::lock_guard lock(m_mutex);
    if (m_pFile)
        fclose(m_pFile);
    m_pFile = pFile;
    return true;
}

std::string CRequestLog::FormatLine(const std::string& strTime, const CLogEntry& entry) {
    size_t nQuery = entry.m_strTarget.find('?');
    std::string strPath = entry.m_strTarget.substr(0, nQuery);
    std::string strQuery = nQuery == std::string::npos ? std::string() : entry.m_strTarget.substr(nQuery + 1);
    return strTime + '\t' + Escape(entry.m_strRemote) + '\t' + Escape(entry.m_strMethod) + '\t' +
           Escape(strPath) + '\t' + Escape(strQuery) + '\t' + Escape(entry.m_strUserAgent) + '\n';
}

void CRequestLog::Append(const CLogEntry& entry) {
    std::string strLine = FormatLine(NowText(), entry);
    std::lock_guard lock(m_mutex);
    m_strText += strLine;
    if (m_pFile) {
        fputs(strLine.c_str(), m_pFile);
        fflush(m_pFile);
    }
}

std::string CRequestLog::Text() const {
    std::lock_guard lock(m_mutex);
    return m_strText;
}

void CRequestLog::Clear() {
    std::lock_guard lock(m_mutex);
    m_strText.clear();
}
