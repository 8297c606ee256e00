#include "FuzzInput.h"

#include "app/TextUtil.h"

#include <cstdio>
#include <cstdlib>

void FuzzCheckFailed(const char* szCond, const char* szFile, int nLine) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", szFile, nLine, szCond);
    std::abort();
}

std::u16string BytesAsU16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return out;
}

std::vector<std::string_view> SplitBytes(std::string_view bytes, char chSep) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    for (;;) {
        const size_t sep = bytes.find(chSep, pos);
        if (sep == std::string_view::npos) {
            parts.push_back(bytes.substr(pos));
            return parts;
        }
        parts.push_back(bytes.substr(pos, sep - pos));
        pos = sep + 1;
    }
}

int WrappedInt(std::string_view text) {
    size_t i = 0;
    const bool bNegative = !text.empty() && text[0] == '-';
    if (bNegative)
        ++i;
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    if (bNegative)
        value = 0u - value;
    return static_cast<int>(value);
}

CMemoryProfile ProfileFromInput(std::string_view bytes, std::u16string_view strDefaultSection) {
    CMemoryProfile profile;
    std::u16string strSection(strDefaultSection);
    for (std::string_view line : SplitBytes(bytes, '\n')) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            strSection = Utf8ToU16(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t sep = line.find_first_of("=:");
        if (sep == std::string_view::npos)
            continue;
        const std::u16string strEntry = Utf8ToU16(line.substr(0, sep));
        const std::string_view value = line.substr(sep + 1);
        if (line[sep] == '=')
            profile.WriteProfileString(strSection, strEntry, Utf8ToU16(value));
        else
            profile.WriteProfileInt(strSection, strEntry, WrappedInt(value));
    }
    return profile;
}
