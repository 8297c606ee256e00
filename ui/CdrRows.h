// The texts of the call history window: its columns, the cells of a record, the copied row and the
// call-back question.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct CCdrColumn {
    std::u16string_view strTitle;
    std::u16string_view strSample; // measured with "XXX" appended to size the column
    uint16_t nWidth;               // nominal width in pixels
};

// Kind, time, number, name.
extern const std::span<const CCdrColumn> g_cdrColumns;

// "発信" for a placed call (mode 0), "着信" for any other mode.
std::u16string_view CdrKindText(uint16_t nMode);

// The four cells joined by single tabs, nothing after the last.
std::u16string JoinCdrRow(std::u16string_view strKind, std::u16string_view strTime,
                          std::u16string_view strNumber, std::u16string_view strName);

// "<number>\nに発信しますか？", or "<number>(<name>)\nに発信しますか？" when there is a name.
std::u16string CallBackPrompt(std::u16string_view strNumber, std::u16string_view strName);

// Width of the last column at initialisation: the nominal total of all columns less the measured
// widths given to the first three.
int InitialLastColumnWidth(int nWidth0, int nWidth1, int nWidth2);
