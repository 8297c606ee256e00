// Sets (or with nullopt removes) environment variables and puts them back as they were.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CScopedEnv {
public:
    CScopedEnv() = default;
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

    void Set(const char* pszName, std::optional<std::string> value) {
        const char* pszOld = std::getenv(pszName);
        m_saved.emplace_back(pszName, pszOld ? std::optional<std::string>(pszOld) : std::nullopt);
        value ? setenv(pszName, value->c_str(), 1) : unsetenv(pszName);
    }
    ~CScopedEnv() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
