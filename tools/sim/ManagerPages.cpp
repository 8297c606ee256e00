#include "ManagerPages.h"

namespace {

std::string Page(const std::string& strTitle, const std::string& strUser, const std::string& strBody) {
    std::string strHead = "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>" +
                          HtmlEscape(strTitle) + "</title></head>\n<body>\n<h1>" + HtmlEscape(strTitle) +
                          "</h1>\n";
    if (!strUser.empty())
        strHead += "<p>ログイン中: " + HtmlEscape(strUser) + "</p>\n";
    return strHead + strBody +
           "<p><a href=\"/manager/\">KIVO-PBX Manager</a> | <a href=\"/addrbook\">アドレス帳</a> | "
           "<a href=\"/cdr\">通話履歴</a></p>\n</body></html>\n";
}

const char* LoginForm() {
    return "<form action=\"/manager/login\" method=\"get\">\n"
           "<p>ユーザ <input name=\"username\"> パスワード <input name=\"password\" type=\"password\">\n"
           "<input type=\"hidden\" name=\"redirecturl\" value=\"/manager/\">\n"
           "<input type=\"submit\" value=\"ログイン\"></p>\n</form>\n";
}

} // namespace

std::string HtmlEscape(const std::string& strText) {
    std::string str;
    for (char ch : strText) {
        switch (ch) {
        case '&':
            str += "&amp;";
            break;
        case '<':
            str += "&lt;";
            break;
        case '>':
            str += "&gt;";
            break;
        case '"':
            str += "&quot;";
            break;
        default:
            str += ch;
        }
    }
    return str;
}

std::string ManagerPage(const std::string& strUser) {
    return Page("KIVO-PBX Manager", strUser, strUser.empty() ? LoginForm() : "");
}

std::string LoginFailedPage() {
    return Page("KIVO-PBX Manager", "", std::string("<p>ログインに失敗しました。</p>\n") + LoginForm());
}

std::string AddrbookPage(const std::string& strUser) {
    return Page("アドレス帳", strUser,
                "<table border=\"1\">\n<tr><th>名前</th><th>番号</th></tr>\n"
                "<tr><td>総務部</td><td>0312345678</td></tr>\n"
                "<tr><td>営業部</td><td>0612345678</td></tr>\n"
                "<tr><td>内線 2002</td><td>2002</td></tr>\n</table>\n");
}

std::string CdrPage(const std::string& strUser, const std::vector<CPlacedCall>& calls) {
    std::string strRows;
    for (const CPlacedCall& call : calls)
        strRows += "<tr><td>" + HtmlEscape(call.m_strTime) + "</td><td>" + HtmlEscape(call.m_strAccount) +
                   "</td><td>" + HtmlEscape(call.m_strDialNo) + "</td></tr>\n";
    return Page("通話履歴", strUser,
                "<table border=\"1\">\n<tr><th>日時</th><th>発信者</th><th>発信先</th></tr>\n" + strRows +
                    "</table>\n");
}
