// Host names: this computer's own, and the look-up of a name's IPv4 address.
#pragma once

#include <cstdint>
#include <string>

// This computer's host name; empty when the system gives none.
std::string LocalHostName();

// The first IPv4 address of a name, in network byte order. A dotted address (as inet_addr reads it)
// is taken as it is, without a look-up. False when the name does not resolve.
bool LookUpIPv4(const std::string& name, uint32_t& addr);

// 127.0.0.1 in network byte order.
uint32_t LoopbackIPv4();
