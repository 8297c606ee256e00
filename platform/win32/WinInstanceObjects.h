// The single-instance mutex "<app>" and the shared login flag: the 4-byte paging-file mapping
// "<app>Memmap" guarded by the mutex "<app>Mutex". Unprefixed names live in the logon session's
// namespace, so other sessions' instances are not seen. The system releases all three when the
// process ends.
#pragma once

#include "platform/IInstanceObjects.h"

#include <cstdint>
#include <string>

class CWinInstanceObjects : public ISingleInstance, public ISharedLoginFlag {
public:
    // Creates or opens the mapping and its mutex.
    explicit CWinInstanceObjects(const std::u16string& strAppName);
    ~CWinInstanceObjects() override;

    CWinInstanceObjects(const CWinInstanceObjects&) = delete;
    CWinInstanceObjects& operator=(const CWinInstanceObjects&) = delete;

    // Creates the single-instance mutex, owned; true if it existed already. The handle stays open for
    // the process's life.
    bool IsSecondInstance() override;
    bool Read(uint32_t& value) override;
    bool Write(uint32_t value) override;

private:
    bool Lock();

    std::wstring m_strAppName;
    void* m_hInstanceMutex = nullptr;
    void* m_hMemmap = nullptr;
    void* m_hMutex = nullptr;
    volatile uint32_t* m_pShared = nullptr;
};
