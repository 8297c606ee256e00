#include "ui/DialNumber.h"

#include "app/TextUtil.h"

namespace {

constexpr std::u16string_view kPrefixSfa = u"SFA-";

char16_t ToUpperAscii(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') ? char16_t(ch - u'a' + u'A') : ch;
}

} // namespace

bool IsWDigit(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'\uFF10' && ch <= u'\uFF19');
}

std::u16string ExtractDialNumber(std::u16string_view text) {
    const size_t nEnd = text.find_first_of(u"\r\n");
    if (nEnd != std::u16string_view::npos)
        text = text.substr(0, nEnd);
    std::u16string out;
    for (char16_t ch : text)
        if (IsWDigit(ch) || ch == u'*')
            out.push_back(ch);
    return out;
}

std::u16string MakeDialNumber(std::u16string_view strDst) {
    const std::u16string strText = TrimWSpace(strDst);
    std::u16string strHead = strText.substr(0, kPrefixSfa.size());
    for (char16_t& ch : strHead)
        ch = ToUpperAscii(ch);
    if (strHead == kPrefixSfa)
        return std::u16string(kPrefixSfa) + strText.substr(kPrefixSfa.size());
    return ExtractDialNumber(strText);
}
