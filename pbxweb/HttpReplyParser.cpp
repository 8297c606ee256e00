#include "pbxweb/HttpReplyParser.h"

#include "app/AsciiText.h"

#include <algorithm>

namespace {

// The most hex digits of a chunk size: a size that does not fit 64 bits is no chunk of ours.
constexpr unsigned kMaxChunkSizeDigits = 16;

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

std::string_view Trim(std::string_view text) {
    const auto IsSpace = [](char ch) { return ch == ' ' || ch == '\t'; };
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// "HTTP/1.x ddd" and anything after the code that is not a fourth digit; 0 when the line is no status
// line of HTTP/1.0 or 1.1, or the code is below 100.
long ParseStatusLine(std::string_view line) {
    if (line.size() < 12 || !line.starts_with("HTTP/1.") || (line[7] != '0' && line[7] != '1') ||
        line[8] != ' ' || !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11]) ||
        (line.size() > 12 && IsDigit(line[12])))
        return 0;
    const long nStatus = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    return nStatus >= 100 ? nStatus : 0;
}

// A Content-Length value: decimal digits only, not past what 64 bits hold.
bool ParseLength(std::string_view text, unsigned long long& nLength) {
    if (text.empty() || text.size() > 19)
        return false;
    nLength = 0;
    for (char ch : text) {
        if (!IsDigit(ch))
            return false;
        nLength = nLength * 10 + static_cast<unsigned>(ch - '0');
    }
    return true;
}

// Whether chunked is the last of the transfer codings listed: only then does the body come in chunks.
bool EndsWithChunked(std::string_view codings) {
    const size_t nComma = codings.rfind(',');
    return EqualsAsciiNoCase(Trim(nComma == std::string_view::npos ? codings : codings.substr(nComma + 1)),
                             "chunked");
}

} // namespace

CHttpReplyParser::EState CHttpReplyParser::Feed(std::string_view bytes) {
    while (!bytes.empty() && !IsOver()) {
        const size_t nUsed = m_eState == EState::Head ? FeedHead(bytes) : FeedBody(bytes);
        bytes.remove_prefix(nUsed);
    }
    return m_eState;
}

CHttpReplyParser::EState CHttpReplyParser::FeedEnd() {
    if (m_eState == EState::Head)
        m_eState = EState::BadHead;
    else if (m_eState == EState::Body)
        m_eState = m_eFraming == EFraming::UntilClose ? EState::Done : EState::BadBody;
    return m_eState;
}

size_t CHttpReplyParser::FeedHead(std::string_view bytes) {
    size_t nUsed = 0;
    while (nUsed < bytes.size() && m_eState == EState::Head) {
        if (++m_nHeadBytes > kMaxHeadBytes) {
            m_eState = EState::BadHead;
            break;
        }
        const char ch = bytes[nUsed++];
        if (ch != '\n') {
            m_line += ch;
            continue;
        }
        if (!m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        const std::string line = std::move(m_line);
        m_line.clear();
        OnHeadLine(line);
    }
    return nUsed;
}

void CHttpReplyParser::OnHeadLine(std::string_view line) {
    if (!m_bStatusLineRead) {
        const long nStatus = ParseStatusLine(line);
        if (nStatus == 0) {
            m_eState = EState::BadHead;
            return;
        }
        m_bStatusLineRead = true;
        // An interim reply (but a switch of protocols, which ends HTTP) is followed by the real one.
        if (nStatus >= 200 || nStatus == 101) {
            m_nStatus = nStatus;
            // Only the body of a 200 is wanted: any other status is all there is to know.
            if (nStatus != 200)
                m_eState = EState::Done;
        }
        return;
    }
    if (line.empty()) {
        OnHeadEnd();
        return;
    }
    if (m_nStatus != 200)
        return; // a header of an interim reply
    const size_t nColon = line.find(':');
    if (nColon == std::string_view::npos)
        return;
    const std::string_view name = line.substr(0, nColon);
    const std::string_view value = Trim(line.substr(nColon + 1));
    if (EqualsAsciiNoCase(name, "Transfer-Encoding")) {
        m_bChunked = EndsWithChunked(value);
    } else if (EqualsAsciiNoCase(name, "Content-Length")) {
        unsigned long long nLength = 0;
        if (!ParseLength(value, nLength) || (m_bLengthGiven && nLength != m_nLength))
            m_bLengthBad = true;
        m_bLengthGiven = true;
        m_nLength = nLength;
    }
}

void CHttpReplyParser::OnHeadEnd() {
    if (m_nStatus == 0) { // the end of an interim reply: the next status line follows
        m_bStatusLineRead = false;
        return;
    }
    m_eState = EState::Body;
    if (m_bChunked) {
        m_eFraming = EFraming::Chunked;
    } else if (m_bLengthBad) {
        m_eState = EState::BadBody;
    } else if (m_bLengthGiven) {
        m_eFraming = EFraming::Length;
        m_nLeft = m_nLength;
        if (m_nLeft == 0)
            m_eState = EState::Done;
    }
}

size_t CHttpReplyParser::FeedBody(std::string_view bytes) {
    switch (m_eFraming) {
    case EFraming::Chunked:
        return FeedChunked(bytes);
    case EFraming::Length: {
        const size_t nTake = static_cast<size_t>(std::min<unsigned long long>(m_nLeft, bytes.size()));
        AppendBody(bytes.substr(0, nTake));
        m_nLeft -= nTake;
        if (m_nLeft == 0 && m_eState == EState::Body)
            m_eState = EState::Done;
        return nTake;
    }
    case EFraming::UntilClose:
        AppendBody(bytes);
        return bytes.size();
    }
    return bytes.size();
}

// Chunk sizes in hex, anything after the digits up to the line end (extensions) ignored, CRs before
// LFs optional; the trailer's fields are skipped up to the empty line. Size lines, extensions and
// trailers count against the head's limit.
size_t CHttpReplyParser::FeedChunked(std::string_view bytes) {
    size_t nUsed = 0;
    while (nUsed < bytes.size() && m_eState == EState::Body) {
        if (m_eChunk == EChunk::Data) {
            const size_t nTake =
                static_cast<size_t>(std::min<unsigned long long>(m_nLeft, bytes.size() - nUsed));
            AppendBody(bytes.substr(nUsed, nTake));
            nUsed += nTake;
            m_nLeft -= nTake;
            if (m_nLeft == 0)
                m_eChunk = EChunk::DataEnd;
            continue;
        }
        const char ch = bytes[nUsed++];
        if (m_eChunk != EChunk::DataEnd && ++m_nHeadBytes > kMaxHeadBytes) {
            m_eState = EState::BadBody;
            break;
        }
        switch (m_eChunk) {
        case EChunk::Size: {
            const int nDigit = HexDigitValue(ch);
            if (nDigit >= 0) {
                if (++m_nSizeDigits > kMaxChunkSizeDigits)
                    m_eState = EState::BadBody;
                m_nLeft = m_nLeft * 16 + static_cast<unsigned>(nDigit);
                break;
            }
            if (m_nSizeDigits == 0) {
                m_eState = EState::BadBody;
                break;
            }
            m_eChunk = EChunk::Extension;
            [[fallthrough]];
        }
        case EChunk::Extension:
            if (ch == '\n') {
                m_nSizeDigits = 0;
                m_eChunk = m_nLeft == 0 ? EChunk::Trailer : EChunk::Data;
                m_bTrailerLineEmpty = true;
            }
            break;
        case EChunk::DataEnd:
            if (ch == '\n')
                m_eChunk = EChunk::Size;
            else if (ch != '\r')
                m_eState = EState::BadBody;
            break;
        case EChunk::Trailer:
            if (ch == '\n') {
                if (m_bTrailerLineEmpty)
                    m_eState = EState::Done;
                m_bTrailerLineEmpty = true;
            } else if (ch != '\r') {
                m_bTrailerLineEmpty = false;
            }
            break;
        case EChunk::Data:
            break;
        }
    }
    return nUsed;
}

void CHttpReplyParser::AppendBody(std::string_view bytes) {
    const size_t nRoom = m_nMaxBody - m_body.size();
    if (bytes.size() > nRoom) {
        m_body.append(bytes.substr(0, nRoom));
        m_eState = EState::BadBody;
        return;
    }
    m_body.append(bytes);
}
