// Windows Sockets 2.2 for the lifetime of the object: every Winsock call needs WSAStartup first,
// and the system counts the starts, so each user holds one of its own.
#pragma once

#include <winsock2.h>

class CWinsockSession {
public:
    CWinsockSession() { m_bStarted = WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
    ~CWinsockSession() {
        if (m_bStarted)
            WSACleanup();
    }
    CWinsockSession(const CWinsockSession&) = delete;
    CWinsockSession& operator=(const CWinsockSession&) = delete;

    bool IsStarted() const { return m_bStarted; }

private:
    WSADATA m_data{};
    bool m_bStarted = false;
};
