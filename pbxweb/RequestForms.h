// The two request targets of the exchange's web API.
#pragma once

#include <string>
#include <string_view>

// "/manager/kivodialer/call?callid=%s&passwd=%s&dialno=%s&cbtime=%d"
std::u16string FormatCallRequest(std::u16string_view strUser, std::u16string_view strPass,
                                 std::u16string_view strDialNo, int nCbtime);
// "/manager/kivodialer/regist?callid=%s&passwd=%s&port=%d&type=%d"
std::u16string FormatRegistRequest(std::u16string_view strUser, std::u16string_view strPass, int nPort,
                                   int nType);
