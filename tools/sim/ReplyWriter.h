// Writes a forced reply into an httplib response. The shapes that break the connection (cut, close)
// go below httplib: a cut reply aborts its own body, a closed one shuts the socket down.
#pragma once

#include <string>

#include <httplib.h>

#include "ForcedReply.h"

inline constexpr const char* kTextPlain = "text/plain; charset=utf-8";

// strNormalBody: the body the request would have got without the forced reply.
void WriteForcedReply(const CForcedReply& forced, const std::string& strNormalBody,
                      const httplib::Request& req, httplib::Response& res);
