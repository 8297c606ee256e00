#include "Accounts.h"

#include <iconv.h>

std::optional<std::string> Utf8ToCp932(const std::string& strUtf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string strOut(strUtf8.size() * 2 + 4, '\0');
    char* pIn = const_cast<char*>(strUtf8.data());
    size_t nIn = strUtf8.size();
    char* pOut = strOut.data();
    size_t nOut = strOut.size();
    size_t nResult = iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv_close(cd);
    if (nResult == static_cast<size_t>(-1))
        return std::nullopt;
    strOut.resize(strOut.size() - nOut);
    return strOut;
}

bool CAccounts::AddOption(const std::string& strOption) {
    size_t nColon = strOption.find(':');
    if (nColon == std::string::npos || nColon == 0)
        return false;
    Add(strOption.substr(0, nColon), strOption.substr(nColon + 1));
    return true;
}

void CAccounts::Add(const std::string& strUser, const std::string& strPass) {
    m_accounts.push_back({strUser, strPass, Utf8ToCp932(strUser), Utf8ToCp932(strPass)});
}

std::optional<std::string> CAccounts::Check(const std::string& strUser, const std::string& strPass) const {
    for (const CAccount& account : m_accounts) {
        if (account.m_strUser == strUser && account.m_strPass == strPass)
            return account.m_strUser;
        if (account.m_strUser932 == strUser &&
            (account.m_strPass932 == strPass || account.m_strPass == strPass))
            return account.m_strUser;
    }
    return std::nullopt;
}

std::vector<std::string> CAccounts::Users() const {
    std::vector<std::string> users;
    for (const CAccount& account : m_accounts)
        users.push_back(account.m_strUser);
    return users;
}
