// A resolver that does not answer holds the request no longer than its connect time-out. No resolver
// can be made slow from a test without changing the system's configuration, so this binary's
// getaddrinfo answers a look-up of a name under "slow.invalid" only after two seconds (and then that it
// does not exist); every other call goes to the C library's own.
#include "platform/posix/PosixHttpTransport.h"

#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>

#include <chrono>
#include <string_view>
#include <thread>

using namespace std::chrono_literals;

extern "C" int getaddrinfo(const char* pszNode, const char* pszService, const addrinfo* pHints,
                           addrinfo** ppResult) {
    using GetAddrInfoFn = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto pNext = reinterpret_cast<GetAddrInfoFn>(dlsym(RTLD_NEXT, "getaddrinfo"));
    const bool bNumericOnly = pHints && (pHints->ai_flags & AI_NUMERICHOST) != 0;
    if (pszNode && !bNumericOnly && std::string_view(pszNode).ends_with("slow.invalid")) {
        std::this_thread::sleep_for(2s);
        return EAI_NONAME;
    }
    return pNext(pszNode, pszService, pHints, ppResult);
}

TEST(NameLookupTimeOut, ASlowLookUpEndsAtTheConnectTimeOutAsASendFailure) {
    CScopedEnv env;
    for (const char* pszName : {"http_proxy", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
        env.Set(pszName, std::nullopt);
    CPosixHttpTransport transport(300ms, 5000ms);

    auto start = std::chrono::steady_clock::now();
    CHttpReply reply = transport.Get("kivo-pbx.slow.invalid", 80, "/", "KIVODialer Browser");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(reply.eFail, CHttpReply::EFailPoint::Send);
    EXPECT_TRUE(reply.bException);

    // The same for the proxy's name.
    env.Set("http_proxy", "http://kivo-proxy.slow.invalid:3128");
    start = std::chrono::steady_clock::now();
    reply = transport.Get("127.0.0.1", 8080, "/", "KIVODialer Browser");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(reply.eFail, CHttpReply::EFailPoint::Send);
}
