// The reply to one HTTP/1.x GET, taken from the byte stream as it arrives: the status line, the
// headers, the body's framing (Content-Length, chunked, or up to the close) and the limits that keep a
// hostile or broken server from filling the memory. No sockets: the transport feeds it what it receives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CHttpReplyParser {
public:
    enum class EState {
        Head,    // the final status line and its headers are still awaited
        Body,    // status 200: its body is being read
        Done,    // a status other than 200 (Status(), no body read), or a 200 with its whole body
        BadHead, // no valid status line and head: missing, not HTTP, cut short or too long
        BadBody, // status 200, and its body broke off: cut, malformed framing or over the limit
    };

    // What all heads of a reply may take together (interim 1xx replies included), status lines too.
    static constexpr size_t kMaxHeadBytes = 64 * 1024;

    explicit CHttpReplyParser(size_t nMaxBodyBytes) : m_nMaxBody(nMaxBodyBytes) {}

    // Takes the next bytes received; returns the state afterwards. Bytes past the end of the reply, or
    // fed once it is over, are ignored.
    EState Feed(std::string_view bytes);
    // The peer closed the connection: a body read up to the close ends here, anything else is cut.
    EState FeedEnd();

    EState State() const { return m_eState; }
    bool IsOver() const { return m_eState != EState::Head && m_eState != EState::Body; }
    // The final status, once its line was read (0 before).
    long Status() const { return m_nStatus; }
    // The body of a status 200, decoded from its framing, as far as it came (at most nMaxBodyBytes).
    const std::string& Body() const { return m_body; }

private:
    enum class EFraming { Length, Chunked, UntilClose };
    enum class EChunk { Size, Extension, Data, DataEnd, Trailer };

    size_t FeedHead(std::string_view bytes);
    size_t FeedBody(std::string_view bytes);
    size_t FeedChunked(std::string_view bytes);
    void OnHeadLine(std::string_view line);
    void OnHeadEnd();
    void AppendBody(std::string_view bytes);

    size_t m_nMaxBody;
    EState m_eState = EState::Head;
    long m_nStatus = 0;
    std::string m_body;

    // The head: the line being put together, what all heads took so far, where this head is.
    std::string m_line;
    size_t m_nHeadBytes = 0;
    bool m_bStatusLineRead = false;
    bool m_bChunked = false;
    bool m_bLengthGiven = false;
    bool m_bLengthBad = false;
    unsigned long long m_nLength = 0;

    EFraming m_eFraming = EFraming::UntilClose;
    unsigned long long m_nLeft = 0; // of the Content-Length, or of the current chunk
    EChunk m_eChunk = EChunk::Size;
    unsigned m_nSizeDigits = 0;
    bool m_bTrailerLineEmpty = true;
};
