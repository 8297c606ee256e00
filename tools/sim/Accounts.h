// The exchange's accounts and passwords.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CAccounts {
public:
    // Splits "USER:PASS" at the first colon; false when there is none or the user is empty.
    bool AddOption(const std::string& strOption);
    void Add(const std::string& strUser, const std::string& strPass);
    bool Empty() const { return m_accounts.empty(); }

    // The account (its name as given, in UTF-8) whose user and password equal the bytes given, in UTF-8
    // or in code page 932: the manager's login page receives the latter from Windows clients.
    std::optional<std::string> Check(const std::string& strUser, const std::string& strPass) const;

    std::vector<std::string> Users() const;

private:
    struct CAccount {
        std::string m_strUser, m_strPass;                      // UTF-8
        std::optional<std::string> m_strUser932, m_strPass932; // code page 932, when convertible
    };
    std::vector<CAccount> m_accounts;
};

// UTF-8 to code page 932 through iconv; nothing when a character has no code page 932 form.
std::optional<std::string> Utf8ToCp932(const std::string& strUtf8);
