#include "platform/win32/WinInstanceObjects.h"

#include <windows.h>

CWinInstanceObjects::CWinInstanceObjects(const std::u16string& strAppName)
    : m_strAppName(strAppName.begin(), strAppName.end()) {
    // A new mapping of the paging file starts as zeros: "not logged in".
    m_hMemmap = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(uint32_t),
                                   (m_strAppName + L"Memmap").c_str());
    if (m_hMemmap)
        m_pShared = static_cast<volatile uint32_t*>(
            MapViewOfFile(m_hMemmap, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(uint32_t)));
    m_hMutex = CreateMutexW(nullptr, FALSE, (m_strAppName + L"Mutex").c_str());
}

CWinInstanceObjects::~CWinInstanceObjects() {
    if (m_pShared)
        UnmapViewOfFile(const_cast<uint32_t*>(m_pShared));
    if (m_hMemmap)
        CloseHandle(m_hMemmap);
    if (m_hMutex)
        CloseHandle(m_hMutex);
    // The single-instance mutex is left to the system, which closes it when the process ends.
}

bool CWinInstanceObjects::IsSecondInstance() {
    if (m_hInstanceMutex)
        return false;
    m_hInstanceMutex = CreateMutexW(nullptr, TRUE, m_strAppName.c_str());
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

bool CWinInstanceObjects::Lock() {
    // A mutex whose owner died unlocking it (WAIT_ABANDONED) is owned now all the same; the flag is
    // one aligned word, never half written.
    const DWORD rc = WaitForSingleObject(m_hMutex, INFINITE);
    return rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
}

bool CWinInstanceObjects::Read(uint32_t& value) {
    if (!m_pShared || !m_hMutex || !Lock())
        return false;
    value = *m_pShared;
    ReleaseMutex(m_hMutex);
    return true;
}

bool CWinInstanceObjects::Write(uint32_t value) {
    if (!m_pShared || !m_hMutex || !Lock())
        return false;
    *m_pShared = value;
    ReleaseMutex(m_hMutex);
    return true;
}
