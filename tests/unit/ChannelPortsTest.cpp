#include "notify/ChannelPorts.h"

#include "app/MemoryProfile.h"

#include <gtest/gtest.h>

TEST(ChannelPorts, PortsThatFollowedTheOldPortNumMoveAndOthersStay) {
    struct Case {
        const char* pszWhat;
        int nOld, nNew;
        CChannelPorts stored, expected;
    } cases[] = {
        {"both followed", 10640, 20000, {10640, 10641}, {20000, 20001}},
        {"receive set by hand", 10640, 20000, {5060, 10641}, {5060, 20001}},
        {"send set by hand", 10640, 20000, {10640, 9999}, {20000, 9999}},
        {"neither followed", 10640, 20000, {5060, 5061}, {5060, 5061}},
        // A stored "PortNum" beyond 16 bits: the terminal listened on its low 16 bits, 70000 -> 4464.
        {"old value past 16 bits", 70000, 20000, {4464, 4465}, {20000, 20001}},
        {"send wraps at 65535", 65535, 1024, {65535, 0}, {1024, 1025}},
        {"unchanged", 10640, 10640, {10640, 10641}, {10640, 10641}},
    };
    for (const Case& c : cases) {
        const CChannelPorts moved = FollowPortNum(c.nOld, c.nNew, c.stored);
        EXPECT_EQ(moved.nPortRecv, c.expected.nPortRecv) << c.pszWhat;
        EXPECT_EQ(moved.nPortSend, c.expected.nPortSend) << c.pszWhat;
    }
}

TEST(ChannelPorts, TheProfileGetsOnlyThePortsThatMoved) {
    CMemoryProfile profile;
    profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", 10640);
    profile.WriteProfileInt(u"Config-UDP", u"Port-Send", 7000);
    MoveChannelPorts(profile, 10640, 12000);
    EXPECT_EQ(profile.GetProfileInt(u"Config-UDP", u"Port-Recv", 0), 12000);
    EXPECT_EQ(profile.GetProfileInt(u"Config-UDP", u"Port-Send", 0), 7000);

    // Absent entries stood for the old "PortNum" and follow it.
    CMemoryProfile empty;
    MoveChannelPorts(empty, 10640, 12000);
    EXPECT_EQ(empty.GetProfileInt(u"Config-UDP", u"Port-Recv", -1), 12000);
    EXPECT_EQ(empty.GetProfileInt(u"Config-UDP", u"Port-Send", -1), 12001);
}
