#include "app/TextUtil.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The decoding, and whether every byte belonged to a well-formed sequence.
std::u16string DecodeUtf8(std::string_view bytes, bool& bValid) {
    bValid = true;
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const unsigned char b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, so that overlong forms, surrogates and
        // values past U+10FFFF are refused at the earliest byte ("maximal subpart" replacement).
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            if (b0 == 0xE0)
                lo = 0xA0;
            if (b0 == 0xED)
                hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            if (b0 == 0xF0)
                lo = 0x90;
            if (b0 == 0xF4)
                hi = 0x8F;
        } else {
            out.push_back(kReplacement);
            bValid = false;
            ++i;
            continue;
        }
        char32_t cp = b0 & (0xFF >> (len + 1));
        int got = 1;
        while (got < len && i + got < n) {
            const unsigned char b = static_cast<unsigned char>(bytes[i + got]);
            const bool ok = got == 1 ? (b >= lo && b <= hi) : ((b & 0xC0) == 0x80);
            if (!ok)
                break;
            cp = (cp << 6) | (b & 0x3F);
            ++got;
        }
        if (got < len) {
            out.push_back(kReplacement);
            bValid = false;
            i += got;
            continue;
        }
        AppendCodePoint(out, cp);
        i += len;
    }
    return out;
}

} // namespace

std::u16string Utf8ToU16(std::string_view bytes) {
    bool bValid = true;
    return DecodeUtf8(bytes, bValid);
}

bool IsValidUtf8(std::string_view bytes) {
    bool bValid = true;
    DecodeUtf8(bytes, bValid);
    return bValid;
}

std::string U16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

bool IsWSpace(char16_t ch) {
    switch (ch) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return ch >= 0x2000 && ch <= 0x200A;
    }
}

std::u16string TrimWSpace(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && IsWSpace(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && IsWSpace(text[begin]))
        ++begin;
    return std::u16string(text.substr(begin, end - begin));
}

std::u16string CutText(std::u16string_view text, size_t nMax) {
    if (text.size() <= nMax)
        return std::u16string(text);
    size_t n = nMax;
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
        --n;
    return std::u16string(text.substr(0, n));
}

namespace {

// The format characters (general category Cf) and the other invisible controls of layout that a text
// from the network has no business holding.
bool IsFormatChar(char32_t cp) {
    return cp == 0x00AD || (cp >= 0x0600 && cp <= 0x0605) || cp == 0x061C || cp == 0x06DD || cp == 0x070F ||
           cp == 0x08E2 || cp == 0x180E || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2060 && cp <= 0x2064) || (cp >= 0x2066 && cp <= 0x206F) || cp == 0xFEFF ||
           (cp >= 0xFFF9 && cp <= 0xFFFB) || cp == 0x110BD || cp == 0x110CD ||
           (cp >= 0x13430 && cp <= 0x1343F) || (cp >= 0x1BCA0 && cp <= 0x1BCA3) ||
           (cp >= 0x1D173 && cp <= 0x1D17A) || cp == 0xE0001 || (cp >= 0xE0020 && cp <= 0xE007F);
}

} // namespace

std::u16string ShowFormatChars(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        size_t nUnits = 1;
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            nUnits = 2;
        }
        if (IsFormatChar(cp))
            out.push_back(u'?');
        else
            out.append(text.substr(i, nUnits));
        i += nUnits - 1;
    }
    return out;
}

std::u16string ToU16Decimal(long long value) {
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}
