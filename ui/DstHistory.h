// The dial dialog's history of dialled numbers: profile section "DstNo", entries "list1" to "list10",
// the most recent first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class IProfile;

inline constexpr std::u16string_view kSectionDstNo = u"DstNo";
inline constexpr int kDstHistoryMax = 10;

// The destination combo box's items: strFirst (when not empty), then each stored entry "list1" to
// "list<nMax>" that is not empty and not identical to strFirst.
std::vector<std::u16string> ReadDstHistory(IProfile& profile, std::u16string_view section, int nMax,
                                           std::u16string_view strFirst);

// Writes the history after a call: strEdit (the edit text as typed, when not empty) as "list1", then the
// items that are neither empty nor identical to it, up to "list<nMax>". Higher entries stay as they were.
void WriteDstHistory(IProfile& profile, std::u16string_view section, int nMax, std::u16string_view strEdit,
                     const std::vector<std::u16string>& items);
