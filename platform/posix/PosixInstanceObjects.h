// The single-instance lock and the shared login flag as files of the login's runtime directory:
// "KIVODialer" (flock held for the process's life), "KIVODialerMemmap" (4 bytes, mmap'ed) and
// "KIVODialerMutex" (flock around every access to the flag). The kernel drops the locks when a
// process dies, so a crash never leaves a stale "already running".
#pragma once

#include "platform/IInstanceObjects.h"

#include <cstdint>
#include <string>

class CPosixInstanceObjects : public ISingleInstance, public ISharedLoginFlag {
public:
    // strRuntimeDir empty: $XDG_RUNTIME_DIR, or ~/.cache/kivodialer-<host name> (DefaultRuntimeDir).
    explicit CPosixInstanceObjects(const std::string& strAppName, std::string strRuntimeDir = {});
    ~CPosixInstanceObjects() override;

    CPosixInstanceObjects(const CPosixInstanceObjects&) = delete;
    CPosixInstanceObjects& operator=(const CPosixInstanceObjects&) = delete;

    bool IsSecondInstance() override;
    bool Read(uint32_t& value) override;
    bool Write(uint32_t value) override;

    const std::string& RuntimeDir() const { return m_strDir; }

    // The directory the objects live in: $XDG_RUNTIME_DIR, or ~/.cache/kivodialer-<host name>, made
    // with mode 0700. Usable only when it is a directory (not a link) of the user, closed to others;
    // empty when there is none, and then the objects are unavailable.
    static std::string DefaultRuntimeDir();

private:
    int OpenPrivateFile(const std::string& strName) const;

    std::string m_strDir;
    std::string m_strAppName;
    int m_fdInstance = -1;
    int m_fdMemmap = -1;
    int m_fdMutex = -1;
    volatile uint32_t* m_pShared = nullptr;
};
