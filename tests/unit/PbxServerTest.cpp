#include "pbxweb/PbxServer.h"

#include "app/TextUtil.h"

#include <gtest/gtest.h>

TEST(PbxServer, HostAndPortOfTheSetting) {
    struct Case {
        std::u16string server;
        std::string host;
        unsigned short nPort;
    } cases[] = {
        {u"pbx.example.jp", "pbx.example.jp", 80},
        {u"192.0.2.5", "192.0.2.5", 80},
        {u"pbx:8080", "pbx", 8080},
        {u"127.0.0.1:65535", "127.0.0.1", 65535},
        {u"pbx:1", "pbx", 1},
        {u"pbx:", "pbx", 80},
        {u"pbx_1-a", "pbx_1-a", 80},
        {u"交換機.example", "交換機.example", 80},
        {u"[::1]", "::1", 80},
        {u"[::1]:18080", "::1", 18080},
        {u"[::1]:", "::1", 80},
        {u"::1", "::1", 80},
        {u"fe80::1:8080", "fe80::1:8080", 80}, // unbracketed: every colon belongs to the address
        {u"[::ffff:127.0.0.1]:81", "::ffff:127.0.0.1", 81},
    };
    for (const auto& c : cases) {
        const std::optional<CPbxServer> server = ParsePbxServer(c.server);
        ASSERT_TRUE(server) << U16ToUtf8(c.server);
        EXPECT_EQ(server->strHost, c.host) << U16ToUtf8(c.server);
        EXPECT_EQ(server->nPort, c.nPort) << U16ToUtf8(c.server);
    }
}

// Texts that would address another host or path than the one typed, or no port at all.
TEST(PbxServer, TextsNoRequestCanBeAddressedWithAreRefused) {
    const std::u16string refused[] = {
        u"",       u":80",      u"pbx:0",  u"pbx:65536", u"pbx:123456", u"pbx:8o", u"pbx: 80",
        u"pbx:-1", u"pbx:+80",  u" pbx",   u"pbx ",      u"pb x",       u"pbx/x",  u"pbx?x",
        u"pbx#x",  u"user@pbx", u"pbx\\x", u"pbx\n",     u"[::1",       u"[]",     u"[::1]x",
        u"[pbx]",  u"[::1]:0",  u"[::g]",  u"::1/x",     u"a:b:c@d",
    };
    for (const auto& s : refused)
        EXPECT_FALSE(ParsePbxServer(s)) << U16ToUtf8(s);
}
