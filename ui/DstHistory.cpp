#include "ui/DstHistory.h"

#include "app/TextUtil.h"
#include "platform/IProfile.h"

namespace {

std::u16string ListEntry(int n) {
    return u"list" + ToU16Decimal(n);
}

} // namespace

std::vector<std::u16string> ReadDstHistory(IProfile& profile, std::u16string_view section, int nMax,
                                           std::u16string_view strFirst) {
    std::vector<std::u16string> items;
    if (!strFirst.empty())
        items.emplace_back(strFirst);
    for (int n = 1; n <= nMax; ++n) {
        std::u16string strValue = profile.GetProfileString(section, ListEntry(n), u"");
        if (!strValue.empty() && strValue != strFirst)
            items.push_back(std::move(strValue));
    }
    return items;
}

void WriteDstHistory(IProfile& profile, std::u16string_view section, int nMax, std::u16string_view strEdit,
                     const std::vector<std::u16string>& items) {
    int n = 1;
    if (!strEdit.empty())
        profile.WriteProfileString(section, ListEntry(n++), strEdit);
    for (const std::u16string& strItem : items) {
        if (n > nMax)
            break;
        if (strItem.empty() || strItem == strEdit)
            continue;
        profile.WriteProfileString(section, ListEntry(n++), strItem);
    }
    profile.Flush();
}
