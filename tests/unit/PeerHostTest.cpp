#include "notify/PeerHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// a.b.c.d in network byte order, as the look-up gives it.
uint32_t IPv4(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    const unsigned char bytes[4] = {a, b, c, d};
    uint32_t addr = 0;
    std::memcpy(&addr, bytes, sizeof addr);
    return addr;
}

} // namespace

TEST(PeerHost, LocalhostStandsForTheOwnHostName) {
    uint32_t addr = 0;
    ASSERT_TRUE(ResolvePeerHost(u"localhost", "10.1.2.3", addr));
    EXPECT_EQ(addr, IPv4(10, 1, 2, 3));
    ASSERT_TRUE(ResolvePeerHost(u"", "10.1.2.4", addr));
    EXPECT_EQ(addr, IPv4(10, 1, 2, 4));
    // Any other spelling is a name of its own.
    ASSERT_TRUE(ResolvePeerHost(u"LOCALHOST", "10.1.2.3", addr));
    EXPECT_EQ(addr, IPv4(127, 0, 0, 1));
}

TEST(PeerHost, OwnNameThatDoesNotResolveIsTheLoopback) {
    uint32_t addr = 0;
    ASSERT_TRUE(ResolvePeerHost(u"localhost", "kivo-workstation.invalid", addr));
    EXPECT_EQ(addr, IPv4(127, 0, 0, 1));
    ASSERT_TRUE(ResolvePeerHost(u"", "", addr));
    EXPECT_EQ(addr, IPv4(127, 0, 0, 1));
}

TEST(PeerHost, OtherNamesMustResolve) {
    uint32_t addr = 0;
    EXPECT_TRUE(ResolvePeerHost(u"192.0.2.5", "vm", addr));
    EXPECT_EQ(addr, IPv4(192, 0, 2, 5));
    EXPECT_FALSE(ResolvePeerHost(u"kivo-pbx.invalid", "vm", addr));
    EXPECT_FALSE(ResolvePeerHost(std::u16string(u"localhost\0x", 11), "vm", addr));
}
