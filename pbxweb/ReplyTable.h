// The exchange's replies: which keyword a reply text starts with decides the result and the message.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

struct CReplyRow {
    std::u16string_view strKeyword;
    // Characters compared: the keyword's length matches every text that begins with it,
    // one more matches only the keyword alone (the terminating NUL is compared too).
    size_t nCompare;
    bool bResult;
    // Empty: the reply text itself is the message.
    std::u16string_view strMessage;
};

struct CReplyMatch {
    bool bResult = false;
    std::u16string strMessage;
};

// A reply quoted in a message is cut to this many characters and lines, with "…" where it was cut: the
// reply is whatever the server at the "PBX" address sends, and the message must fit in a box.
inline constexpr size_t kQuotedReplyMax = 256;
inline constexpr size_t kQuotedReplyMaxLines = 5;

// The reply as a message quotes it.
std::u16string QuoteReply(std::u16string_view strReply);

// The known replies, in the order they are tried; the first row that matches wins.
std::span<const CReplyRow> ReplyTable();

// strReply is the reply text: decoded, cut at the first NUL and trimmed.
CReplyMatch MatchReply(std::u16string_view strReply);
