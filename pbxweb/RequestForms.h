// The two request targets of the exchange's web API.
#pragma once

#include <string>
#include <string_view>

// A value as it goes into a request target: exactly as typed, except for the bytes that cannot stand
// in an HTTP request target or would end it. Space, control characters, DEL, every byte of a non-ASCII
// character (in UTF-8), '#' (a fragment is never sent) and a '%' that does not begin a "%XX" escape are
// percent-encoded; every other printable ASCII character, '&', '=', '+' and "%XX" included, is kept.
std::u16string EncodeRequestValue(std::u16string_view strValue);

// "/manager/kivodialer/call?callid=%s&passwd=%s&dialno=%s&cbtime=%d"
std::u16string FormatCallRequest(std::u16string_view strUser, std::u16string_view strPass,
                                 std::u16string_view strDialNo, int nCbtime);
// "/manager/kivodialer/regist?callid=%s&passwd=%s&port=%d&type=%d"
std::u16string FormatRegistRequest(std::u16string_view strUser, std::u16string_view strPass, int nPort,
                                   int nType);
