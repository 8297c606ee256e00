#include "pbxweb/PbxServer.h"

#include "app/TextUtil.h"

namespace {

// Letters, digits, '-', '.', '_' and, for internationalised names, anything past ASCII.
bool IsHostChar(char16_t ch) {
    return ch >= 0x80 || (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') ||
           (ch >= u'0' && ch <= u'9') || ch == u'-' || ch == u'.' || ch == u'_';
}

bool IsIPv6Char(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F') ||
           ch == u':' || ch == u'.';
}

template <typename Pred> bool AllOf(std::u16string_view text, Pred pred) {
    for (char16_t ch : text) {
        if (!pred(ch))
            return false;
    }
    return true;
}

// An empty port is the default port, as in a URL.
std::optional<unsigned short> ParsePort(std::u16string_view text) {
    if (text.empty())
        return 80;
    if (text.size() > 5)
        return std::nullopt;
    unsigned nPort = 0;
    for (char16_t ch : text) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        nPort = nPort * 10 + (ch - u'0');
    }
    if (nPort == 0 || nPort > 65535)
        return std::nullopt;
    return static_cast<unsigned short>(nPort);
}

std::optional<CPbxServer> Make(std::u16string_view host, std::optional<unsigned short> port) {
    if (host.empty() || !port)
        return std::nullopt;
    return CPbxServer{U16ToUtf8(host), *port};
}

} // namespace

std::optional<CPbxServer> ParsePbxServer(std::u16string_view strServer) {
    if (!strServer.empty() && strServer.front() == u'[') {
        const size_t close = strServer.find(u']');
        if (close == std::u16string_view::npos)
            return std::nullopt;
        const std::u16string_view host = strServer.substr(1, close - 1);
        const std::u16string_view rest = strServer.substr(close + 1);
        if (!AllOf(host, IsIPv6Char) || host.find(u':') == std::u16string_view::npos)
            return std::nullopt;
        if (rest.empty())
            return Make(host, 80);
        if (rest.front() != u':')
            return std::nullopt;
        return Make(host, ParsePort(rest.substr(1)));
    }

    const size_t colon = strServer.find(u':');
    if (colon == std::u16string_view::npos)
        return AllOf(strServer, IsHostChar) ? Make(strServer, 80) : std::nullopt;
    if (strServer.find(u':', colon + 1) != std::u16string_view::npos)
        return AllOf(strServer, IsIPv6Char) ? Make(strServer, 80) : std::nullopt;
    const std::u16string_view host = strServer.substr(0, colon);
    if (!AllOf(host, IsHostChar))
        return std::nullopt;
    return Make(host, ParsePort(strServer.substr(colon + 1)));
}
