#include "tray/NotificationText.h"

#include "app/TextUtil.h"

#include <algorithm>

std::u16string ReadNotifyKeyword(std::u16string_view text) {
    const size_t begin = text.find_first_not_of(u'\t');
    if (begin == std::u16string_view::npos)
        return {};
    const size_t end = text.find(u'\t', begin);
    return TrimWSpace(
        text.substr(begin, end == std::u16string_view::npos ? std::u16string_view::npos : end - begin));
}

CNotifyFields SplitNotifyFields(std::u16string_view text) {
    CNotifyFields fields;
    size_t pos = 0;
    for (size_t k = 0;; ++k) {
        const size_t tab = text.find(u'\t', pos);
        if (tab == std::u16string_view::npos)
            break; // the text after the last tab is not a field
        if (k < kNotifyFieldCount)
            fields[k] = TrimWSpace(text.substr(pos, tab - pos));
        pos = tab + 1;
    }
    return fields;
}

std::u16string MakeDisplayName(std::u16string_view strName, std::u16string_view strSupplement) {
    std::u16string out(strName);
    if (!strName.empty() && !strSupplement.empty()) {
        out += u'[';
        out += strSupplement;
        out += u']';
    } else if (strName.empty()) {
        out = strSupplement;
    }
    return out;
}

std::u16string PadBalloonTitle(std::u16string_view strTitle, std::u16string_view strText) {
    size_t nLongest = 0;
    size_t pos = 0;
    while (pos <= strText.size()) {
        size_t end = strText.find(u'\n', pos);
        if (end == std::u16string_view::npos)
            end = strText.size();
        nLongest = std::max(nLongest, end - pos);
        pos = end + 1;
    }
    std::u16string out(strTitle);
    if (nLongest > kBalloonTitlePadFrom)
        out.append(nLongest - kBalloonTitlePadFrom, u'\u3000');
    return out;
}

std::optional<CIncomingCall> ParseIncomingCall(std::u16string_view text, std::u16string_view strUser) {
    const CNotifyFields fields = SplitNotifyFields(text);
    if (fields[kFieldAccount] != strUser)
        return std::nullopt;

    CIncomingCall call;
    call.strNumber = fields[kFieldNumber];
    call.strName = MakeDisplayName(fields[kFieldName], fields[kFieldNameSupplement]);
    std::u16string strText = call.strName;
    if (!strText.empty())
        strText += u" - ";
    strText += call.strNumber;
    // The balloon text goes through the desktop's code page and back; with UTF-8 that loses only
    // what UTF-16 could not hold either (a lone surrogate becomes U+FFFD). The invisible format
    // characters that code page 932 would have turned into "?" show as "?": the record keeps them.
    call.strBalloonText = ShowFormatChars(Utf8ToU16(U16ToUtf8(strText)));
    call.strBalloonTitle = PadBalloonTitle(ShowFormatChars(fields[kFieldTitle]), call.strBalloonText);
    return call;
}

CBalloon MakeBalloon(std::u16string_view strText, std::u16string_view strTitle) {
    CBalloon balloon;
    balloon.strTitle = CutText(strTitle.empty() ? kBalloonDefaultTitle : strTitle, kBalloonTitleMax);
    balloon.strText = CutText(strText, kBalloonTextMax);
    return balloon;
}
