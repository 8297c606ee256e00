#include "tray/PbxPages.h"

#include "pbxweb/PbxServer.h"
#include "platform/ICodePage.h"
#include "resources/ResourceIds.h"

namespace {
bool IsKeptByte(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '.' ||
           b == '-' || b == '*' || b == '_';
}

std::u16string LoginAddress(std::u16string_view strPBX, std::u16string_view strUser,
                            std::u16string_view strPass, std::u16string_view strRedirect,
                            ICodePage932& codePage) {
    std::u16string out = u"http://";
    out += strPBX;
    out += u"/manager/login?username=";
    out += UrlEncode(strUser, codePage);
    out += u"&password=";
    out += UrlEncode(strPass, codePage);
    out += u"&redirecturl=";
    out += UrlEncode(strRedirect, codePage);
    return out;
}
} // namespace

std::u16string UrlEncode(std::u16string_view value, ICodePage932& codePage) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    for (char c : codePage.FromUtf16(value)) {
        const auto b = static_cast<unsigned char>(c);
        if (IsKeptByte(b)) {
            out += static_cast<char16_t>(b);
        } else if (b == ' ') {
            out += u'+';
        } else {
            out += u'%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    }
    return out;
}

std::u16string PbxPageAddress(int nCommand, std::u16string_view strPBX, std::u16string_view strUser,
                              std::u16string_view strPass, ICodePage932& codePage) {
    // The setting goes into the address as it is, so it must be the host the web API would reach: an
    // "@", "/", "#" or space in it would hand the account and password to another host, or open another
    // address than the exchange's.
    if (!ParsePbxServer(strPBX))
        return {};
    switch (nCommand) {
    case ID_PBX_MANAGER:
        return u"http://" + std::u16string(strPBX) + u"/manager/";
    case ID_PBX_ADDRBOOK:
        return LoginAddress(strPBX, strUser, strPass, kRedirectAddrBook, codePage);
    case ID_PBX_CDR:
        return LoginAddress(strPBX, strUser, strPass, kRedirectCdr, codePage);
    default:
        return {};
    }
}
