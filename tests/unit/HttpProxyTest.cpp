// The proxy the environment names for a plain-HTTP request: which variables count, which hosts
// no_proxy exempts, and how a proxy setting reads.
#include "pbxweb/HttpProxy.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using EKind = CHttpProxyRoute::EKind;

CHttpProxyRoute Choose(std::string_view host, const std::map<std::string, std::string>& env) {
    return ChooseHttpProxy(host, [&](const char* pszName) -> const char* {
        const auto it = env.find(pszName);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(HttpProxy, TheVariablesOfTheEnvironment) {
    struct Case {
        std::map<std::string, std::string> env;
        EKind eKind;
        std::string strProxyHost;
    } cases[] = {
        {{}, EKind::Direct, ""},
        {{{"http_proxy", "http://p1:3128"}}, EKind::Proxy, "p1"},
        // The upper-case form can be set by a request's "Proxy:" header in CGI programs: never read.
        {{{"HTTP_PROXY", "http://p1:3128"}}, EKind::Direct, ""},
        {{{"all_proxy", "p2"}, {"ALL_PROXY", "p3"}}, EKind::Proxy, "p2"},
        {{{"ALL_PROXY", "p3"}}, EKind::Proxy, "p3"},
        {{{"http_proxy", "p1"}, {"all_proxy", "p2"}}, EKind::Proxy, "p1"},
        // Set but empty: no proxy, and the next variable is not asked.
        {{{"http_proxy", ""}, {"all_proxy", "p2"}}, EKind::Direct, ""},
        {{{"http_proxy", "p1"}, {"no_proxy", "pbx.example"}}, EKind::Direct, ""},
        {{{"http_proxy", "p1"}, {"NO_PROXY", "pbx.example"}}, EKind::Direct, ""},
        // The lower-case no_proxy wins, even when empty.
        {{{"http_proxy", "p1"}, {"no_proxy", ""}, {"NO_PROXY", "*"}}, EKind::Proxy, "p1"},
        {{{"http_proxy", "p1"}, {"no_proxy", "other.example"}}, EKind::Proxy, "p1"},
        {{{"http_proxy", "socks5://p1:1080"}}, EKind::Unusable, ""},
        {{{"http_proxy", "socks5://p1:1080"}, {"no_proxy", "*"}}, EKind::Direct, ""},
    };
    for (const Case& c : cases) {
        const CHttpProxyRoute route = Choose("pbx.example", c.env);
        std::string strEnv;
        for (const auto& [name, value] : c.env)
            strEnv += name + "=" + value + " ";
        EXPECT_EQ(route.eKind, c.eKind) << strEnv;
        EXPECT_EQ(route.strHost, c.strProxyHost) << strEnv;
    }
}

TEST(HttpProxy, NoProxyEntries) {
    struct Case {
        const char* pszHost;
        const char* pszNoProxy;
        bool bDirect;
    } cases[] = {
        {"pbx.example", "*", true},
        {"pbx.example", "", false},
        {"pbx.example", "pbx.example", true},
        {"PBX.Example", "pbx.EXAMPLE", true},
        {"pbx.example.", "pbx.example", true},
        {"pbx.example", "pbx.example.", true},
        {"pbx.example", "example", true},
        {"pbx.example", ".example", true},
        {"pbx.example", "x.example", false},
        {"mypbx.example", "pbx.example", false},
        {"pbx.example", "other, pbx.example", true},
        {"pbx.example", "other pbx.example", true},
        {"pbx.example", ",, ,pbx.example,", true},
        {"pbx.example", "other,*", false}, // "*" counts only alone
        {"pbx.example", ".", false},
        // Loopback goes through the proxy unless it is listed.
        {"localhost", "pbx.example", false},
        {"127.0.0.1", "pbx.example", false},
        {"127.0.0.1", "127.0.0.1", true},
        {"127.0.0.1", "127.0.0.2", false},
        {"127.0.0.1", "127.0.0.0/8", true},
        {"128.0.0.1", "127.0.0.0/8", false},
        {"10.1.2.3", "10.1.2.0/24", true},
        {"10.1.3.3", "10.1.2.0/24", false},
        {"10.1.2.3", "10.1.2.0/33", false},
        {"127.0.0.1", "localhost", false},
        {"127.0.0.1", ".0.0.1", false}, // an address is no domain
        {"::1", "::1", true},
        {"::1", "0:0::1", true},
        {"::1", "::2", false},
        {"fd00::5", "fd00::/16", true},
        {"fe80::5", "fd00::/16", false},
        {"::1", "127.0.0.1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNoProxyHost(c.pszHost, c.pszNoProxy), c.bDirect) << c.pszHost << " / " << c.pszNoProxy;
}

TEST(HttpProxy, ProxySettings) {
    struct Case {
        const char* pszSetting;
        EKind eKind;
        std::string strHost;
        unsigned short nPort;
        std::string strUser, strPassword;
    } cases[] = {
        {"http://proxy.example:3128", EKind::Proxy, "proxy.example", 3128, "", ""},
        {"HTTP://proxy.example:3128/", EKind::Proxy, "proxy.example", 3128, "", ""},
        {"proxy.example", EKind::Proxy, "proxy.example", 1080, "", ""},
        {"proxy.example:", EKind::Proxy, "proxy.example", 1080, "", ""},
        {"http://proxy.example/some/path?x#y", EKind::Proxy, "proxy.example", 1080, "", ""},
        {"http://127.0.0.1:8080", EKind::Proxy, "127.0.0.1", 8080, "", ""},
        {"http://[::1]:8080", EKind::Proxy, "::1", 8080, "", ""},
        {"[::1]", EKind::Proxy, "::1", 1080, "", ""},
        {"http://us%65r:p%40ss:w@proxy.example:3128", EKind::Proxy, "proxy.example", 3128, "user", "p@ss:w"},
        {"http://user@proxy.example", EKind::Proxy, "proxy.example", 1080, "user", ""},
        {"https://proxy.example:443", EKind::Unusable, "", 0, "", ""},
        {"socks5h://proxy.example", EKind::Unusable, "", 0, "", ""},
        {"http://", EKind::Unusable, "", 0, "", ""},
        {"http://proxy.example:0", EKind::Unusable, "", 0, "", ""},
        {"http://proxy.example:65536", EKind::Unusable, "", 0, "", ""},
        {"http://proxy.example:31x", EKind::Unusable, "", 0, "", ""},
        {"http://[::1", EKind::Unusable, "", 0, "", ""},
        {"http://[nonsense]:80", EKind::Unusable, "", 0, "", ""},
        {"http://[::1]x", EKind::Unusable, "", 0, "", ""},
        {"http://prox y", EKind::Unusable, "", 0, "", ""},
    };
    for (const Case& c : cases) {
        const CHttpProxyRoute route = ParseHttpProxy(c.pszSetting);
        EXPECT_EQ(route.eKind, c.eKind) << c.pszSetting;
        if (c.eKind != EKind::Proxy)
            continue;
        EXPECT_EQ(route.strHost, c.strHost) << c.pszSetting;
        EXPECT_EQ(route.nPort, c.nPort) << c.pszSetting;
        EXPECT_EQ(route.bCredentials, !c.strUser.empty()) << c.pszSetting;
        EXPECT_EQ(route.strUser, c.strUser) << c.pszSetting;
        EXPECT_EQ(route.strPassword, c.strPassword) << c.pszSetting;
    }
}

TEST(HttpProxy, BasicCredentials) {
    EXPECT_EQ(BasicCredentials("Aladdin", "open sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(BasicCredentials("a", ""), "Basic YTo=");
    EXPECT_EQ(BasicCredentials("ab", "c"), "Basic YWI6Yw==");
    EXPECT_EQ(BasicCredentials("\xff", "\xfe"), "Basic /zr+");
}
