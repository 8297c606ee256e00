#include "platform/posix/IconvCodePage932.h"

#include "app/TextUtil.h"

#include <cerrno>
#include <iconv.h>

std::string CIconvCodePage932::FromUtf16(std::u16string_view text) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(text.size(), '?');
    std::string out;
    // One character at a time, so that a character code page 932 cannot hold becomes "?" and the
    // rest converts as usual.
    for (size_t i = 0; i < text.size(); ++i) {
        size_t nUnits = 1;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size())
            nUnits = 2;
        std::string in = U16ToUtf8(text.substr(i, nUnits));
        i += nUnits - 1;
        char buf[8];
        char* pIn = in.data();
        size_t nIn = in.size();
        char* pOut = buf;
        size_t nOut = sizeof buf;
        if (iconv(cd, &pIn, &nIn, &pOut, &nOut) == static_cast<size_t>(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            out.push_back('?');
        } else {
            out.append(buf, pOut);
        }
    }
    iconv_close(cd);
    return out;
}

std::u16string CIconvCodePage932::ToUtf16(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::u16string(bytes.size(), u'?');
    std::string in(bytes);
    char* pIn = in.data();
    size_t nIn = in.size();
    std::string utf8;
    char buf[1024];
    while (nIn > 0) {
        char* pOut = buf;
        size_t nOut = sizeof buf;
        const size_t n = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        utf8.append(buf, pOut);
        if (n != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // A byte no character starts with, or a lead byte cut off at the end: "?" for it, then on.
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        utf8.push_back('?');
        ++pIn;
        --nIn;
    }
    iconv_close(cd);
    return Utf8ToU16(utf8);
}
