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

} // namespace

std::u16string Utf8ToU16(std::string_view bytes) {
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
            i += got;
            continue;
        }
        AppendCodePoint(out, cp);
        i += len;
    }
    return out;
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

std::u16string ToU16Decimal(long long value) {
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}
