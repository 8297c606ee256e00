// The conversions every text from outside goes through: UTF-8 from the network and the profile, UTF-16
// inside, and the white-space trimming of replies and fields.
#include "FuzzInput.h"

#include "app/TextUtil.h"

namespace {

// Well-formed UTF-8 by the table of well-formed byte sequences, written apart from the decoder.
bool IsWellFormedUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b0 <= 0x7F)
            len = 1;
        else if (b0 >= 0xC2 && b0 <= 0xDF)
            len = 2;
        else if (b0 == 0xE0)
            len = 3, lo = 0xA0;
        else if (b0 == 0xED)
            len = 3, hi = 0x9F;
        else if (b0 >= 0xE1 && b0 <= 0xEF)
            len = 3;
        else if (b0 == 0xF0)
            len = 4, lo = 0x90;
        else if (b0 == 0xF4)
            len = 4, hi = 0x8F;
        else if (b0 >= 0xF1 && b0 <= 0xF3)
            len = 4;
        else
            return false;
        if (i + len > bytes.size())
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if (k == 1 ? (b < lo || b > hi) : (b & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

bool IsHigh(char16_t ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}
bool IsLow(char16_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// The text with every lone surrogate replaced by U+FFFD.
std::u16string WellFormed(std::u16string_view text) {
    std::u16string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsHigh(out[i]) && i + 1 < out.size() && IsLow(out[i + 1]))
            ++i;
        else if (IsHigh(out[i]) || IsLow(out[i]))
            out[i] = 0xFFFD;
    }
    return out;
}

void CheckTrim(std::u16string_view text) {
    const std::u16string strTrimmed = TrimWSpace(text);
    FUZZ_CHECK(text.find(strTrimmed) != std::u16string_view::npos);
    FUZZ_CHECK(strTrimmed.empty() || (!IsWSpace(strTrimmed.front()) && !IsWSpace(strTrimmed.back())));
    FUZZ_CHECK(TrimWSpace(strTrimmed) == strTrimmed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);

    const std::u16string strDecoded = Utf8ToU16(bytes);
    FUZZ_CHECK(strDecoded.size() <= bytes.size());
    FUZZ_CHECK(WellFormed(strDecoded) == strDecoded);
    const std::string encoded = U16ToUtf8(strDecoded);
    FUZZ_CHECK(IsWellFormedUtf8(encoded));
    FUZZ_CHECK(Utf8ToU16(encoded) == strDecoded);
    FUZZ_CHECK(IsWellFormedUtf8(bytes) == (encoded == bytes));
    CheckTrim(strDecoded);

    const std::u16string strRaw = BytesAsU16(bytes);
    const std::string rawEncoded = U16ToUtf8(strRaw);
    FUZZ_CHECK(IsWellFormedUtf8(rawEncoded));
    FUZZ_CHECK(Utf8ToU16(rawEncoded) == WellFormed(strRaw));
    CheckTrim(strRaw);
    return 0;
}
