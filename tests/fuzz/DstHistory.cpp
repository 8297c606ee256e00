// The dial dialog's destination history over whatever the profile holds: the input is a profile (see
// ProfileFromInput), section "DstNo" unless it names others; "First" and "Edit" of a section "Dial" are the
// number the dialog opens with and the text the user then dials.
#include "FuzzInput.h"

#include "ui/DstHistory.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CMemoryProfile profile = ProfileFromInput(AsBytes(pData, nSize), kSectionDstNo);
    const std::u16string strFirst = profile.GetProfileString(u"Dial", u"First", u"");
    const std::u16string strEdit = profile.GetProfileString(u"Dial", u"Edit", u"0312345678");

    const std::vector<std::u16string> items =
        ReadDstHistory(profile, kSectionDstNo, kDstHistoryMax, strFirst);
    FUZZ_CHECK(items.size() <= static_cast<size_t>(kDstHistoryMax) + 1);
    for (size_t i = 0; i < items.size(); ++i) {
        FUZZ_CHECK(!items[i].empty());
        FUZZ_CHECK((i == 0 && !strFirst.empty()) == (items[i] == strFirst));
    }

    // After the call: the dialled text first, then the others in their order, each once, at most ten.
    WriteDstHistory(profile, kSectionDstNo, kDstHistoryMax, strEdit, items);
    std::vector<std::u16string> expected;
    if (!strEdit.empty())
        expected.push_back(strEdit);
    for (const std::u16string& strItem : items)
        if (strItem != strEdit && expected.size() < static_cast<size_t>(kDstHistoryMax))
            expected.push_back(strItem);
    const std::vector<std::u16string> reread = ReadDstHistory(profile, kSectionDstNo, kDstHistoryMax, u"");
    FUZZ_CHECK(reread.size() >= expected.size() &&
               std::equal(expected.begin(), expected.end(), reread.begin()));
    FUZZ_CHECK(reread.size() <= static_cast<size_t>(kDstHistoryMax));
    return 0;
}
