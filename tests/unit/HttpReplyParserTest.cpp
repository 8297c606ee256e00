// The reply stream of one GET: framings, interim replies, malformed input and the limits, each fed in
// one piece, in two pieces split at every byte, and byte by byte, which must all come out the same.
#include "pbxweb/HttpReplyParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using EState = CHttpReplyParser::EState;

struct CCase {
    const char* pszName;
    std::string input;
    bool bClosed; // the peer closes after the input
    EState eState;
    long nStatus;
    std::string body;
    size_t nMaxBody = 64;
};

const std::string k200 = "HTTP/1.1 200 OK\r\n";
const std::string kChunked = k200 + "Transfer-Encoding: chunked\r\n\r\n";

std::vector<CCase> Cases() {
    return {
        // Framings.
        {"length", k200 + "Content-Length: 7\r\n\r\nCall_OKnext reply", false, EState::Done, 200, "Call_OK"},
        {"length in lower case, LF alone", "HTTP/1.1 200 OK\ncontent-length:  2 \n\nOK", false, EState::Done,
         200, "OK"},
        {"length 0", k200 + "Content-Length: 0\r\n\r\n", false, EState::Done, 200, ""},
        {"same length twice", k200 + "Content-Length: 2\r\nContent-Length: 2\r\n\r\nOK", false, EState::Done,
         200, "OK"},
        {"chunked, extensions and trailer",
         kChunked + "4;name=\"v\"\r\nLogi\r\n5 ; x\r\nn_OK,\r\n0;last\r\nX-Trailer: 1\r\nY: 2\r\n\r\nnext",
         false, EState::Done, 200, "Login_OK,"},
        {"chunked, upper-case hex, LF alone, listed last",
         "HTTP/1.1 200 OK\nTransfer-Encoding: gzip, Chunked\n\nA\n0123456789\n00\n\n", false, EState::Done,
         200, "0123456789"},
        {"chunked before a Content-Length",
         k200 + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nCall_\r\n0\r\n\r\n", false,
         EState::Done, 200, "Call_"},
        {"chunked not last: up to the close", k200 + "Transfer-Encoding: chunked, gzip\r\n\r\n2\r\nOK", true,
         EState::Done, 200, "2\r\nOK"},
        {"up to the close, HTTP/1.0", "HTTP/1.0 200 OK\r\n\r\nOK\r\n", true, EState::Done, 200, "OK\r\n"},
        {"up to the close, not yet closed", k200 + "\r\nOK", false, EState::Body, 200, "OK"},
        {"no reason phrase", "HTTP/1.1 200\r\nContent-Length: 2\r\n\r\nOK", false, EState::Done, 200, "OK"},
        {"folded and colonless lines ignored", k200 + "X: a\r\n  b\r\nnonsense\r\nContent-Length: 1\r\n\r\nK",
         false, EState::Done, 200, "K"},
        // Interim replies and other statuses.
        {"interim replies skipped",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nContent-Length: 9\r\n\r\n" + k200 +
             "Content-Length: 2\r\n\r\nOK",
         false, EState::Done, 200, "OK"},
        {"404 at its status line", "HTTP/1.1 404 Not Found\r\n", false, EState::Done, 404, ""},
        {"500 with a body", "HTTP/1.0 500 Error\r\nContent-Length: 7\r\n\r\nCall_OK", true, EState::Done, 500,
         ""},
        {"switching protocols is final", "HTTP/1.1 101 Switching Protocols\r\n\r\n", false, EState::Done, 101,
         ""},
        // No status.
        {"nothing", "", true, EState::BadHead, 0, ""},
        {"not HTTP", "KIVO\r\n\r\nOK", false, EState::BadHead, 0, ""},
        {"a blank line first", "\r\n" + k200 + "\r\n", false, EState::BadHead, 0, ""},
        {"two-digit status", "HTTP/1.1 20 OK\r\n", false, EState::BadHead, 0, ""},
        {"four-digit status", "HTTP/1.1 2000 OK\r\n", false, EState::BadHead, 0, ""},
        {"status below 100", "HTTP/1.1 099 Low\r\n", false, EState::BadHead, 0, ""},
        {"HTTP/2", "HTTP/2 200\r\n", false, EState::BadHead, 0, ""},
        {"HTTP/1.2", "HTTP/1.2 200 OK\r\n", false, EState::BadHead, 0, ""},
        {"lower-case protocol", "http/1.1 200 OK\r\n", false, EState::BadHead, 0, ""},
        {"status line cut", "HTTP/1.1 200", true, EState::BadHead, 0, ""},
        {"head cut", k200 + "Content-Length: 2\r\n", true, EState::BadHead, 200, ""},
        {"only an interim reply", "HTTP/1.1 100 Continue\r\n\r\n", true, EState::BadHead, 0, ""},
        // Bodies that break off.
        {"cut before the length", k200 + "Content-Length: 100\r\n\r\nLogin_OK,part", true, EState::BadBody,
         200, "Login_OK,part"},
        {"length not a number", k200 + "Content-Length: 2x\r\n\r\nOK", false, EState::BadBody, 200, ""},
        {"negative length", k200 + "Content-Length: -1\r\n\r\nOK", false, EState::BadBody, 200, ""},
        {"length past 64 bits", k200 + "Content-Length: 99999999999999999999\r\n\r\nOK", false,
         EState::BadBody, 200, ""},
        {"two lengths", k200 + "Content-Length: 2\r\nContent-Length: 3\r\n\r\nOK!", false, EState::BadBody,
         200, ""},
        {"chunk cut", kChunked + "D\r\nLogin_OK,part", true, EState::BadBody, 200, "Login_OK,part"},
        {"chunk size not hex", kChunked + "zz\r\nOK\r\n0\r\n\r\n", false, EState::BadBody, 200, ""},
        {"chunk size missing", kChunked + ";x\r\nOK\r\n", false, EState::BadBody, 200, ""},
        {"chunk longer than its size", kChunked + "3\r\nabcd\r\n0\r\n\r\n", false, EState::BadBody, 200,
         "abc"},
        {"chunk size past 64 bits", kChunked + "10000000000000000\r\n", false, EState::BadBody, 200, ""},
        {"last chunk without its blank line", kChunked + "2\r\nOK\r\n0\r\n", true, EState::BadBody, 200,
         "OK"},
        {"chunked, not yet ended", kChunked + "2\r\nOK\r\n", false, EState::Body, 200, "OK"},
        // The body limit (8 bytes here).
        {"at the limit, length", k200 + "Content-Length: 8\r\n\r\n12345678", false, EState::Done, 200,
         "12345678", 8},
        {"at the limit, to the close", k200 + "\r\n12345678", true, EState::Done, 200, "12345678", 8},
        {"over the limit, to the close", k200 + "\r\n123456789", false, EState::BadBody, 200, "12345678", 8},
        {"over the limit, length", k200 + "Content-Length: 20\r\n\r\n123456789", false, EState::BadBody, 200,
         "12345678", 8},
        {"over the limit, chunked", kChunked + "5\r\n12345\r\n5\r\n6789A\r\n0\r\n\r\n", false,
         EState::BadBody, 200, "12345678", 8},
    };
}

struct COutcome {
    EState eState;
    long nStatus;
    std::string body;
};

COutcome Parse(const CCase& c, const std::vector<std::string_view>& pieces) {
    CHttpReplyParser parser(c.nMaxBody);
    for (std::string_view piece : pieces)
        parser.Feed(piece);
    if (c.bClosed)
        parser.FeedEnd();
    return {parser.State(), parser.Status(), parser.Body()};
}

void ExpectOutcome(const CCase& c, const COutcome& outcome, const std::string& how) {
    EXPECT_EQ(outcome.eState, c.eState) << c.pszName << ", " << how;
    EXPECT_EQ(outcome.nStatus, c.nStatus) << c.pszName << ", " << how;
    EXPECT_EQ(outcome.body, c.body) << c.pszName << ", " << how;
}

} // namespace

TEST(HttpReplyParser, EveryCaseComesOutTheSameHoweverTheBytesArrive) {
    for (const CCase& c : Cases()) {
        const std::string_view input = c.input;
        ExpectOutcome(c, Parse(c, {input}), "in one piece");
        for (size_t nSplit = 0; nSplit <= input.size(); ++nSplit)
            ExpectOutcome(c, Parse(c, {input.substr(0, nSplit), input.substr(nSplit)}),
                          "split at " + std::to_string(nSplit));
        std::vector<std::string_view> bytes;
        for (size_t i = 0; i < input.size(); ++i)
            bytes.push_back(input.substr(i, 1));
        ExpectOutcome(c, Parse(c, bytes), "byte by byte");
    }
}

TEST(HttpReplyParser, NothingChangesOnceTheReplyIsOver) {
    CHttpReplyParser parser(64);
    EXPECT_EQ(parser.Feed("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK"), EState::Done);
    EXPECT_EQ(parser.Feed("HTTP/1.1 500 Error\r\n\r\nmore"), EState::Done);
    EXPECT_EQ(parser.FeedEnd(), EState::Done);
    EXPECT_EQ(parser.Status(), 200);
    EXPECT_EQ(parser.Body(), "OK");
}

// A server that never ends its head, or its chunked trailer, is given up on at the limit instead of
// being buffered until the time-out.
TEST(HttpReplyParser, HeadsAndTrailersStopAtTheHeadLimit) {
    const size_t kLimit = CHttpReplyParser::kMaxHeadBytes;
    const std::string field = "X-Padding: " + std::string(100, 'x') + "\r\n";
    std::string fields;
    while (fields.size() <= kLimit)
        fields += field;

    CHttpReplyParser endlessHead(64);
    EXPECT_EQ(endlessHead.Feed(k200 + fields), EState::BadHead);

    CHttpReplyParser endlessLine(64);
    EXPECT_EQ(endlessLine.Feed(std::string(kLimit + 1, 'H')), EState::BadHead);

    CHttpReplyParser endlessInterim(64);
    std::string interim;
    while (interim.size() <= kLimit)
        interim += "HTTP/1.1 100 Continue\r\n\r\n";
    EXPECT_EQ(endlessInterim.Feed(interim), EState::BadHead);

    CHttpReplyParser endlessTrailer(64);
    EXPECT_EQ(endlessTrailer.Feed(kChunked + "2\r\nOK\r\n0\r\n" + fields), EState::BadBody);
    EXPECT_EQ(endlessTrailer.Body(), "OK");

    // Just under the limit is a head like any other.
    const std::string head = k200 + "Content-Length: 2\r\n";
    const std::string pad = "X: " + std::string(kLimit - head.size() - 7, 'p') + "\r\n";
    CHttpReplyParser fullHead(64);
    EXPECT_EQ(fullHead.Feed(head + pad + "\r\nOK"), EState::Done);
    EXPECT_EQ(fullHead.Body(), "OK");
}
