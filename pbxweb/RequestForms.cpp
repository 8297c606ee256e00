#include "pbxweb/RequestForms.h"

#include "app/AsciiText.h"
#include "app/TextUtil.h"

std::u16string EncodeRequestValue(std::u16string_view strValue) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string bytes = U16ToUtf8(strValue);
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        // A "%XX" already typed is left alone: values were always sent unencoded, so an escape in a
        // stored password is what the exchange has been receiving.
        const bool bEscape = b == '%' && i + 2 < bytes.size() && HexDigitValue(bytes[i + 1]) >= 0 &&
                             HexDigitValue(bytes[i + 2]) >= 0;
        const bool bKeep = b > 0x20 && b < 0x7F && b != '#' && (b != '%' || bEscape);
        if (bKeep) {
            out.push_back(b);
        } else {
            out.push_back(u'%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0x0F]);
        }
    }
    return out;
}

std::u16string FormatCallRequest(std::u16string_view strUser, std::u16string_view strPass,
                                 std::u16string_view strDialNo, int nCbtime) {
    return u"/manager/kivodialer/call?callid=" + EncodeRequestValue(strUser) + u"&passwd=" +
           EncodeRequestValue(strPass) + u"&dialno=" + EncodeRequestValue(strDialNo) + u"&cbtime=" +
           ToU16Decimal(nCbtime);
}

std::u16string FormatRegistRequest(std::u16string_view strUser, std::u16string_view strPass, int nPort,
                                   int nType) {
    return u"/manager/kivodialer/regist?callid=" + EncodeRequestValue(strUser) + u"&passwd=" +
           EncodeRequestValue(strPass) + u"&port=" + ToU16Decimal(nPort) + u"&type=" + ToU16Decimal(nType);
}
