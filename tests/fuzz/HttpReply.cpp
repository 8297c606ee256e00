// The exchange's reply stream as the HTTP transport takes it: any bytes a server sends, fed whole and
// in pieces. The first byte picks the body limit and whether the server closes at the end, the second
// how the rest is cut into pieces; the outcome must not depend on the pieces.
#include "FuzzInput.h"

#include "pbxweb/HttpReplyParser.h"

namespace {

using EState = CHttpReplyParser::EState;

struct COutcome {
    EState eState;
    long nStatus;
    std::string body;
    bool operator==(const COutcome&) const = default;
};

COutcome Run(std::string_view stream, size_t nMaxBody, bool bClose, size_t nPiece) {
    CHttpReplyParser parser(nMaxBody);
    for (size_t pos = 0; pos < stream.size(); pos += nPiece) {
        const EState eBefore = parser.State();
        const EState eAfter = parser.Feed(stream.substr(pos, nPiece));
        // Once over, a reply stays as it ended.
        FUZZ_CHECK(!parser.IsOver() || eBefore == eAfter || eBefore == EState::Head ||
                   eBefore == EState::Body);
    }
    if (bClose)
        FUZZ_CHECK(parser.FeedEnd() != EState::Head && parser.State() != EState::Body);
    return {parser.State(), parser.Status(), parser.Body()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize < 2)
        return 0;
    const size_t nMaxBody = (pData[0] & 0x7f) == 0 ? 64 * 1024 : (pData[0] & 0x7f);
    const bool bClose = (pData[0] & 0x80) != 0;
    const size_t nPiece = pData[1] == 0 ? 1 : pData[1];
    const std::string_view stream = AsBytes(pData + 2, nSize - 2);

    const COutcome whole = Run(stream, nMaxBody, bClose, stream.empty() ? 1 : stream.size());
    FUZZ_CHECK(Run(stream, nMaxBody, bClose, nPiece) == whole);

    FUZZ_CHECK(whole.body.size() <= nMaxBody);
    FUZZ_CHECK(whole.body.size() <= stream.size());
    FUZZ_CHECK(whole.nStatus == 0 || (whole.nStatus >= 101 && whole.nStatus <= 999));
    // Only a 200 has a body, and only a 200 gets as far as reading one.
    FUZZ_CHECK(whole.nStatus == 200 || whole.body.empty());
    FUZZ_CHECK(whole.nStatus == 200 || (whole.eState != EState::Body && whole.eState != EState::BadBody));
    FUZZ_CHECK(whole.eState != EState::Done || whole.nStatus != 0);
    if (whole.eState == EState::Head || whole.eState == EState::BadHead)
        FUZZ_CHECK(whole.body.empty());
    return 0;
}
