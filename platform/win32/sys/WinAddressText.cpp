#include "platform/AddressText.h"

#include <winsock2.h>
#include <ws2tcpip.h>

bool ParseIPv4Address(const std::string& text, unsigned char (&bytes)[4]) {
    return inet_pton(AF_INET, text.c_str(), bytes) == 1;
}

bool ParseIPv6Address(const std::string& text, unsigned char (&bytes)[16]) {
    return inet_pton(AF_INET6, text.c_str(), bytes) == 1;
}
