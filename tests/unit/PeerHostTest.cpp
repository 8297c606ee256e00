#include "notify/PeerHost.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

TEST(PeerHost, LocalhostStandsForTheOwnHostName) {
    in_addr_t addr = 0;
    ASSERT_TRUE(ResolvePeerHost(u"localhost", "10.1.2.3", addr));
    EXPECT_EQ(addr, inet_addr("10.1.2.3"));
    ASSERT_TRUE(ResolvePeerHost(u"", "10.1.2.4", addr));
    EXPECT_EQ(addr, inet_addr("10.1.2.4"));
    // Any other spelling is a name of its own.
    ASSERT_TRUE(ResolvePeerHost(u"LOCALHOST", "10.1.2.3", addr));
    EXPECT_EQ(addr, inet_addr("127.0.0.1"));
}

TEST(PeerHost, OwnNameThatDoesNotResolveIsTheLoopback) {
    in_addr_t addr = 0;
    ASSERT_TRUE(ResolvePeerHost(u"localhost", "kivo-workstation.invalid", addr));
    EXPECT_EQ(addr, inet_addr("127.0.0.1"));
    ASSERT_TRUE(ResolvePeerHost(u"", "", addr));
    EXPECT_EQ(addr, inet_addr("127.0.0.1"));
}

TEST(PeerHost, OtherNamesMustResolve) {
    in_addr_t addr = 0;
    EXPECT_TRUE(ResolvePeerHost(u"192.0.2.5", "vm", addr));
    EXPECT_EQ(addr, inet_addr("192.0.2.5"));
    EXPECT_FALSE(ResolvePeerHost(u"kivo-pbx.invalid", "vm", addr));
    EXPECT_FALSE(ResolvePeerHost(std::u16string(u"localhost\0x", 11), "vm", addr));
}
