#include "pbxweb/ReplyTable.h"

#include "app/TextUtil.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<CReplyRow, 12> kRows{{
    {u"OK", 2, true, u"KIVO-PBXとの接続に成功しました"},
    {u"desk_management_mode_OK", 23, true, u"KIVO-PBXにログインしました"},
    {u"Deregister_OK", 13, true, u"KIVO-PBXからログオフしました"},
    {u"Login_OK", 8, true, u""},
    {u"Logout_OK", 9, true, u""},
    {u"StateChange_OK", 14, true, u""},
    {u"Call_OK", 8, true, u"発信しました。しばらくお待ち下さい。"},
    {u"Call_NG", 8, false, u"発信できませんでした。設定を確認して下さい。"},
    {u"NG;DB Connect Error", 20, false, u"データベースのアクセスに失敗しました。"},
    {u"NG;DB Delete Error", 19, false, u"ログインステータスの削除に失敗しました。"},
    {u"NG;DB Insert Error", 19, false, u"ログイン情報の追加に失敗しました。"},
    {u"NG;Auth NG", 11, false, u"ユーザ認証に失敗しました。\n認証パスワードを確認して下さい。"},
}};

// Like wcsncmp(reply, keyword, n) == 0 on NUL-terminated texts: a compared length past the keyword's
// end only matches a reply that ends there as well.
bool RowMatches(const CReplyRow& row, std::u16string_view strReply) {
    return strReply.substr(0, row.nCompare) == row.strKeyword.substr(0, row.nCompare);
}

} // namespace

std::u16string QuoteReply(std::u16string_view strReply) {
    // The first lines only, then the first characters of those.
    size_t nEnd = 0;
    for (size_t nLines = 0; nEnd < strReply.size(); ++nEnd)
        if (strReply[nEnd] == u'\n' && ++nLines == kQuotedReplyMaxLines)
            break;
    std::u16string strQuote = CutText(strReply.substr(0, nEnd), kQuotedReplyMax);
    if (strQuote.size() < strReply.size())
        strQuote += u"…";
    return strQuote;
}

std::span<const CReplyRow> ReplyTable() {
    return kRows;
}

CReplyMatch MatchReply(std::u16string_view strReply) {
    for (const CReplyRow& row : kRows) {
        if (RowMatches(row, strReply))
            return {row.bResult,
                    row.strMessage.empty() ? QuoteReply(strReply) : std::u16string(row.strMessage)};
    }
    return {false,
            u"登録に失敗しました。(" + QuoteReply(strReply) + u")\nKIVO-PBXとの接続設定を確認してください。"};
}
