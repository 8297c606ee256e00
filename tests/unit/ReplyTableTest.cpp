#include "pbxweb/ReplyTable.h"

#include <gtest/gtest.h>

namespace {

std::u16string Row13(std::u16string_view reply) {
    return u"登録に失敗しました。(" + std::u16string(reply) + u")\nKIVO-PBXとの接続設定を確認してください。";
}

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

} // namespace

TEST(ReplyTable, RepliesGiveTheirResultAndMessage) {
    struct Case {
        std::u16string reply;
        bool bResult;
        std::u16string message;
    } cases[] = {
        {u"OK", true, u"KIVO-PBXとの接続に成功しました"},
        {u"OKAY", true, u"KIVO-PBXとの接続に成功しました"},
        {u"OK;NG;Auth NG", true, u"KIVO-PBXとの接続に成功しました"}, // "OK" is tried first
        {u"Ok", false, Row13(u"Ok")},
        {u"desk_management_mode_OK,123", true, u"KIVO-PBXにログインしました"},
        {u"Deregister_OK", true, u"KIVO-PBXからログオフしました"},
        {u"Login_OK,1,A", true, u"Login_OK,1,A"},
        {u"login_ok,1,A", false, Row13(u"login_ok,1,A")},
        {u"Logout_OK", true, u"Logout_OK"},
        {u"StateChange_OK;2", true, u"StateChange_OK;2"},
        {u"Call_OK", true, u"発信しました。しばらくお待ち下さい。"},
        {u"Call_OK;1", false, Row13(u"Call_OK;1")},
        {u"Call_O", false, Row13(u"Call_O")},
        {u"Call_NG", false, u"発信できませんでした。設定を確認して下さい。"},
        {u"Call_NG;busy", false, Row13(u"Call_NG;busy")},
        {u"NG;DB Connect Error", false, u"データベースのアクセスに失敗しました。"},
        {u"NG;DB Delete Error", false, u"ログインステータスの削除に失敗しました。"},
        {u"NG;DB Insert Error", false, u"ログイン情報の追加に失敗しました。"},
        {u"NG;Auth NG", false, u"ユーザ認証に失敗しました。\n認証パスワードを確認して下さい。"},
        {u"NG;Auth NG!", false, Row13(u"NG;Auth NG!")},
        {u"NG;", false, Row13(u"NG;")},
        {u"", false, u"登録に失敗しました。()\nKIVO-PBXとの接続設定を確認してください。"},
        {u"着信", false, Row13(u"着信")},
    };
    for (const auto& c : cases) {
        const CReplyMatch match = MatchReply(c.reply);
        EXPECT_EQ(match.bResult, c.bResult) << Narrow(c.reply);
        EXPECT_EQ(match.strMessage, c.message) << Narrow(c.reply);
    }
}

// A row whose compared length is the keyword's takes any continuation; one more takes the keyword alone.
TEST(ReplyTable, EachRowMatchesByPrefixOrWholeAsItsLengthSays) {
    ASSERT_EQ(ReplyTable().size(), 12u);
    for (const CReplyRow& row : ReplyTable()) {
        const bool bPrefix = row.nCompare == row.strKeyword.size();
        ASSERT_TRUE(bPrefix || row.nCompare == row.strKeyword.size() + 1) << Narrow(row.strKeyword);

        const CReplyMatch exact = MatchReply(row.strKeyword);
        EXPECT_EQ(exact.bResult, row.bResult) << Narrow(row.strKeyword);
        EXPECT_EQ(exact.strMessage, row.strMessage.empty() ? row.strKeyword : row.strMessage);

        const std::u16string longer = std::u16string(row.strKeyword) + u",x";
        const CReplyMatch more = MatchReply(longer);
        if (bPrefix) {
            EXPECT_EQ(more.bResult, row.bResult) << Narrow(longer);
            EXPECT_EQ(more.strMessage, row.strMessage.empty() ? longer : row.strMessage);
        } else {
            EXPECT_FALSE(more.bResult) << Narrow(longer);
            EXPECT_EQ(more.strMessage, Row13(longer));
        }
    }
}

// Whatever the server sends is quoted in a few lines of a few hundred characters, "…" where it was cut;
// a surrogate pair is never cut in two.
TEST(ReplyTable, AQuotedReplyIsCutToFitAMessage) {
    const std::u16string strLong(60000, u'A');
    const std::u16string strPairs = std::u16string(255, u'x') + u"\U0001F4DE\U0001F4DE";
    struct Case {
        const char* pszWhat;
        std::u16string reply;
        std::u16string quote;
    } cases[] = {
        {"short", u"<html>", u"<html>"},
        {"exactly the limit", std::u16string(256, u'A'), std::u16string(256, u'A')},
        {"60 KB", strLong, std::u16string(256, u'A') + u"…"},
        {"pair at the cut", strPairs, std::u16string(255, u'x') + u"…"},
        {"many lines", u"1\n2\n3\n4\n5\n6\n7", u"1\n2\n3\n4\n5…"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteReply(c.reply), c.quote) << c.pszWhat;
        EXPECT_EQ(MatchReply(c.reply).strMessage, Row13(c.quote)) << c.pszWhat;
    }
    EXPECT_EQ(MatchReply(u"Login_OK," + strLong).strMessage, u"Login_OK," + std::u16string(247, u'A') + u"…");
}
