// Points XDG_CONFIG_HOME at a folder of the test's own for as long as the object lives, then puts the
// old value back, so that no test ever reads or writes the user's real profile.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class CScopedConfigHome {
public:
    explicit CScopedConfigHome(const std::string& strDir) {
        if (const char* pszOld = std::getenv("XDG_CONFIG_HOME"))
            m_strOld = pszOld;
        setenv("XDG_CONFIG_HOME", strDir.c_str(), 1);
    }
    ~CScopedConfigHome() {
        if (m_strOld)
            setenv("XDG_CONFIG_HOME", m_strOld->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    CScopedConfigHome(const CScopedConfigHome&) = delete;
    CScopedConfigHome& operator=(const CScopedConfigHome&) = delete;

private:
    std::optional<std::string> m_strOld;
};
