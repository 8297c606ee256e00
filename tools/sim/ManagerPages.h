// The exchange's own web pages, as small stand-ins that a browser can show: the manager's start page
// with its login form, the failed-login page, the address book and the exchange's call history.
#pragma once

#include <string>
#include <vector>

struct CPlacedCall {
    std::string m_strTime, m_strAccount, m_strDialNo;
};

std::string HtmlEscape(const std::string& strText);

// strUser: the account logged in on this browser, or empty.
std::string ManagerPage(const std::string& strUser);
std::string LoginFailedPage();
std::string AddrbookPage(const std::string& strUser);
std::string CdrPage(const std::string& strUser, const std::vector<CPlacedCall>& calls);
