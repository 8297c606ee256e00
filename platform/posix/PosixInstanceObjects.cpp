#include "platform/posix/PosixInstanceObjects.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A directory itself (not a link to one) that belongs to the user.
bool IsOwnDir(const std::string& strDir) {
    struct stat st {};
    return !strDir.empty() && lstat(strDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// The user's own directory, closed to everyone else: no one else can place, replace or read the objects.
bool IsPrivateDir(const std::string& strDir) {
    struct stat st {};
    return IsOwnDir(strDir) && lstat(strDir.c_str(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

std::string HomeDir() {
    if (const char* pszHome = std::getenv("HOME"); pszHome && *pszHome)
        return pszHome;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::string HostName() {
    char szName[256] = {};
    if (gethostname(szName, sizeof szName - 1) != 0 || !szName[0])
        return "localhost";
    return szName;
}

// Holds a flock for the lifetime of the object; retries when a signal interrupts the wait.
class CFlockGuard {
public:
    explicit CFlockGuard(int fd) : m_fd(fd) {
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~CFlockGuard() { flock(m_fd, LOCK_UN); }
    CFlockGuard(const CFlockGuard&) = delete;
    CFlockGuard& operator=(const CFlockGuard&) = delete;

private:
    int m_fd;
};

} // namespace

std::string CPosixInstanceObjects::DefaultRuntimeDir() {
    if (const char* pszXdg = std::getenv("XDG_RUNTIME_DIR"); pszXdg && IsPrivateDir(pszXdg))
        return pszXdg;
    // Without a runtime directory: a folder under the user's own home, where no one else can create it
    // first (a name in /tmp anyone can take before the user's first start). One per host, since a home
    // may be shared between computers and the lock is per login on one of them.
    const std::string strHome = HomeDir();
    if (strHome.empty())
        return {};
    const std::string strCache = strHome + "/.cache";
    mkdir(strCache.c_str(), 0700);
    const std::string strDir = strCache + "/kivodialer-" + HostName();
    mkdir(strDir.c_str(), 0700);
    // Someone else's directory, or a link planted under that name, is never used; our own is made private.
    if (!IsOwnDir(strDir) || chmod(strDir.c_str(), 0700) != 0 || !IsPrivateDir(strDir))
        return {};
    return strDir;
}

CPosixInstanceObjects::CPosixInstanceObjects(const std::string& strAppName, std::string strRuntimeDir)
    : m_strDir(strRuntimeDir.empty() ? DefaultRuntimeDir() : std::move(strRuntimeDir)),
      m_strAppName(strAppName) {
    if (m_strDir.empty())
        return;
    m_fdMutex = OpenPrivateFile(m_strAppName + "Mutex");
    m_fdMemmap = OpenPrivateFile(m_strAppName + "Memmap");
    if (m_fdMutex < 0 || m_fdMemmap < 0)
        return;
    CFlockGuard lock(m_fdMutex);
    struct stat st {};
    if (fstat(m_fdMemmap, &st) != 0 || (st.st_size < 4 && ftruncate(m_fdMemmap, 4) != 0))
        return;
    void* p = mmap(nullptr, 4, PROT_READ | PROT_WRITE, MAP_SHARED, m_fdMemmap, 0);
    if (p != MAP_FAILED)
        m_pShared = static_cast<volatile uint32_t*>(p);
}

CPosixInstanceObjects::~CPosixInstanceObjects() {
    if (m_pShared)
        munmap(const_cast<uint32_t*>(m_pShared), 4);
    for (int fd : {m_fdMemmap, m_fdMutex, m_fdInstance})
        if (fd >= 0)
            close(fd);
}

int CPosixInstanceObjects::OpenPrivateFile(const std::string& strName) const {
    return open((m_strDir + "/" + strName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool CPosixInstanceObjects::IsSecondInstance() {
    if (m_fdInstance >= 0)
        return false;
    if (m_strDir.empty())
        return false;
    const int fd = OpenPrivateFile(m_strAppName);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool bHeld = errno == EWOULDBLOCK;
        close(fd);
        return bHeld;
    }
    m_fdInstance = fd;
    // The flag outlives a crashed first instance in its file; a new first instance starts it at 0,
    // as a freshly created block would.
    Write(0);
    return false;
}

bool CPosixInstanceObjects::Read(uint32_t& value) {
    if (!m_pShared)
        return false;
    CFlockGuard lock(m_fdMutex);
    value = *m_pShared;
    return true;
}

bool CPosixInstanceObjects::Write(uint32_t value) {
    if (!m_pShared)
        return false;
    CFlockGuard lock(m_fdMutex);
    *m_pShared = value;
    return true;
}
