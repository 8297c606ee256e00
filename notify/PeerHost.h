// Resolution of the notification channel's "Host" setting to an IPv4 address.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Empty or exactly "localhost" (case-sensitive) stands for this computer: its own host name is
// resolved instead. A dotted IPv4 address is taken as it is, without a look-up; any other name is
// looked up, and its first IPv4 address (network byte order) is the result. False when the name
// does not resolve.
bool ResolvePeerHost(std::u16string_view strHost, uint32_t& addr);

// The same with this computer's host name given, so the rule can be checked with any name.
bool ResolvePeerHost(std::u16string_view strHost, const std::string& strOwnName, uint32_t& addr);
