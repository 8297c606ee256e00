// Numeric IP addresses in text form, read strictly (as inet_pton reads them).
#pragma once

#include <string>

// Dotted IPv4 "a.b.c.d" into 4 bytes, network order.
bool ParseIPv4Address(const std::string& text, unsigned char (&bytes)[4]);
// IPv6 (no brackets, no zone) into 16 bytes, network order.
bool ParseIPv6Address(const std::string& text, unsigned char (&bytes)[16]);
