// Sets (or with nullopt removes) environment variables and puts them back as they were.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace scopedenv {
// setenv and unsetenv; the Microsoft C runtime has _putenv_s, where an empty value removes.
inline void Put(const char* pszName, const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv_s(pszName, value ? value->c_str() : "");
#else
    value ? setenv(pszName, value->c_str(), 1) : unsetenv(pszName);
#endif
}
} // namespace scopedenv

class CScopedEnv {
public:
    CScopedEnv() = default;
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

    void Set(const char* pszName, std::optional<std::string> value) {
        const char* pszOld = std::getenv(pszName);
        m_saved.emplace_back(pszName, pszOld ? std::optional<std::string>(pszOld) : std::nullopt);
        scopedenv::Put(pszName, value);
    }
    ~CScopedEnv() { Restore(); }

    // Puts every variable back as it was before the first Set.
    void Restore() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            scopedenv::Put(it->first.c_str(), it->second);
        m_saved.clear();
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};
