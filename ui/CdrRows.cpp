#include "ui/CdrRows.h"

namespace {

constexpr CCdrColumn kColumns[] = {
    {u"種別", u"発信", 40},
    {u"時間", u"0000/00/00X00:00:00", 130},
    {u"番号", u"00000000000", 100},
    {u"名前", u"XXXXXXXXXXXXXXXXXXXX", 220},
};

} // namespace

const std::span<const CCdrColumn> g_cdrColumns = kColumns;

std::u16string_view CdrKindText(uint16_t nMode) {
    return nMode == 0 ? u"発信" : u"着信";
}

std::u16string JoinCdrRow(std::u16string_view strKind, std::u16string_view strTime,
                          std::u16string_view strNumber, std::u16string_view strName) {
    std::u16string out;
    out.append(strKind).append(u"\t").append(strTime).append(u"\t").append(strNumber).append(u"\t").append(
        strName);
    return out;
}

std::u16string CallBackPrompt(std::u16string_view strNumber, std::u16string_view strName) {
    std::u16string out(strNumber);
    if (!strName.empty())
        out.append(u"(").append(strName).append(u")");
    out.append(u"\nに発信しますか？");
    return out;
}

int InitialLastColumnWidth(int nWidth0, int nWidth1, int nWidth2) {
    int nTotal = 0;
    for (const CCdrColumn& col : kColumns)
        nTotal += col.nWidth;
    return nTotal - nWidth0 - nWidth1 - nWidth2;
}
