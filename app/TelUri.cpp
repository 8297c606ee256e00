#include "app/TelUri.h"

#include "app/AsciiText.h"
#include "app/TextUtil.h"

namespace {

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsAsciiNoCase(text.substr(0, prefix.size()), prefix);
}

// Decodes %XX escapes as UTF-8 bytes; a malformed escape stays as it is.
std::u16string PercentDecode(std::u16string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            const int hi = HexDigitValue(text[i + 1]);
            const int lo = HexDigitValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                bytes.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        // A surrogate pair is one character: converted apart, each half would become U+FFFD.
        const bool bPair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                           text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        bytes += U16ToUtf8(text.substr(i, bPair ? 2 : 1));
        if (bPair)
            ++i;
    }
    return Utf8ToU16(bytes);
}

} // namespace

std::u16string NumberFromCommandLine(std::u16string_view strCmdLine) {
    const std::u16string strTrimmed = TrimWSpace(strCmdLine);
    std::u16string_view uri = strTrimmed;
    if (uri.find(u' ') != std::u16string_view::npos)
        return std::u16string(strCmdLine);
    if (StartsWithNoCase(uri, u"tel:"))
        uri.remove_prefix(4);
    else if (StartsWithNoCase(uri, u"callto:"))
        uri.remove_prefix(7);
    else
        return std::u16string(strCmdLine);
    if (uri.substr(0, 2) == u"//")
        uri.remove_prefix(2);
    uri = uri.substr(0, uri.find(u';'));
    return PercentDecode(uri);
}
