// The exchange's own web pages: the manager start page, and the address book and the exchange's call
// history reached through the manager's login page with the account filled in.
#pragma once

#include <string>
#include <string_view>

class ICodePage932;

inline constexpr std::u16string_view kRedirectAddrBook = u"/addrbook";
inline constexpr std::u16string_view kRedirectCdr = u"/cdr";

// Form encoding of the text's code page 932 bytes: letters, digits and . - * _ kept, space as +,
// every other byte as %XX (upper-case hexadecimal).
std::u16string UrlEncode(std::u16string_view value, ICodePage932& codePage);

// The address a page command (ID_PBX_MANAGER, ID_PBX_ADDRBOOK, ID_PBX_CDR) opens; empty for any other
// command. strPBX, the exchange's host (possibly with a port), goes in unchanged; a setting the web API
// would not address a request with (ParsePbxServer) gives the empty address, so nothing opens.
std::u16string PbxPageAddress(int nCommand, std::u16string_view strPBX, std::u16string_view strUser,
                              std::u16string_view strPass, ICodePage932& codePage);
