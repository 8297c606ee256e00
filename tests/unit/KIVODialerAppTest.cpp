#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The platform of a test: a profile in memory, the services of CFakePlatform, an exchange that accepts
// calls.
struct CTestPlatform : CFakePlatform {
    CTestPlatform() { replyBody = "Call_OK"; }
    CPlatform Platform() { return CFakePlatform::Platform(profile, clock); }

    CMemoryProfile profile;
    CSystemClock clock;
};

TEST(KIVODialerApp, AnEmptyProfileGivesTheDefaults) {
    CTestPlatform p;
    CKIVODialerApp app(p.Platform());
    ASSERT_TRUE(app.InitInstance(u""));
    EXPECT_EQ(app.m_strUser, u"");
    EXPECT_EQ(app.m_strPass, u"");
    EXPECT_EQ(app.m_strPBX, u"");
    EXPECT_EQ(app.m_nCbtime, 10);
    EXPECT_EQ(app.m_nPortNum, 10640);
    EXPECT_EQ(app.m_nDblClk, 0);
    EXPECT_TRUE(app.m_bLogin) << "the first instance starts logged in until the first registration";
    EXPECT_TRUE(p.requests.empty());
}

TEST(KIVODialerApp, DoubleClickActionOutsideZeroToFourReadsAsZero) {
    for (auto [stored, expected] : {std::pair{4, 4}, {0, 0}, {1, 1}, {5, 0}, {7, 0}, {-1, 0}}) {
        CTestPlatform p;
        p.profile.WriteProfileInt(u"Settings", u"DblClk", stored);
        p.profile.WriteProfileInt(u"Settings", u"Cbtime", 99); // used as stored: only the dialog checks it
        CKIVODialerApp app(p.Platform());
        app.LoadSettings();
        EXPECT_EQ(app.m_nDblClk, expected) << stored;
        EXPECT_EQ(app.m_nCbtime, 99);
    }
}

TEST(KIVODialerApp, SecondInstanceDialsTheDigitsAndAsterisksOfItsCommandLine) {
    struct Case {
        std::u16string cmdLine;
        std::string target;
    } cases[] = {
        {u"03-1234-5678", "/manager/kivodialer/call?callid=2001&passwd=pw&dialno=0312345678&cbtime=15"},
        {u"*67 (03) 1234", "/manager/kivodialer/call?callid=2001&passwd=pw&dialno=*67031234&cbtime=15"},
        {u"+81 3 1234", "/manager/kivodialer/call?callid=2001&passwd=pw&dialno=8131234&cbtime=15"},
        {u"abc", "/manager/kivodialer/call?callid=2001&passwd=pw&dialno=&cbtime=15"},
    };
    for (const auto& c : cases) {
        CTestPlatform p;
        p.bSecond = true;
        p.nFlag = 1;
        p.profile.WriteProfileString(u"Settings", u"User", u"2001");
        p.profile.WriteProfileString(u"Settings", u"Pass", u"pw");
        p.profile.WriteProfileString(u"Settings", u"PBX", u"pbx.invalid:8080");
        p.profile.WriteProfileInt(u"Settings", u"Cbtime", 15);
        CKIVODialerApp app(p.Platform());
        EXPECT_FALSE(app.InitInstance(c.cmdLine));
        ASSERT_EQ(p.requests.size(), 1u);
        EXPECT_EQ(p.requests[0].target, c.target);
        EXPECT_EQ(p.requests[0].host, "pbx.invalid");
        EXPECT_EQ(p.requests[0].port, 8080);
        EXPECT_EQ(p.requests[0].userAgent, "KIVODialer Browser");
        EXPECT_TRUE(p.boxes.empty()) << "an accepted call shows nothing";
    }
}

TEST(KIVODialerApp, SecondInstanceRefusalsAndTheirMessages) {
    const std::u16string notLoggedIn = u"KIVO-Dialerがログイン状態ではないため、発信できませんでした。";
    const std::u16string noSettings =
        u"KIVO-PBXとの接続情報が取得できませんでした。\nKIVO-Dialerを再インストールしてください。";
    struct Case {
        const char* what;
        std::u16string cmdLine;
        uint32_t flag;
        bool flagAvailable;
        std::u16string user;
        std::string reply;
        size_t requests;
        std::u16string message; // empty: no box
        unsigned type;
    } cases[] = {
        {"no arguments, logged out", u"", 0, true, u"2001", "Call_OK", 0, u"", 0},
        {"no arguments, logged in", u"", 1, true, u"2001", "Call_OK", 0, u"", 0},
        {"first instance logged out", u"0312345678", 0, true, u"2001", "Call_OK", 0, notLoggedIn,
         MB_ICONERROR},
        {"flag unavailable", u"0312345678", 1, false, u"2001", "Call_OK", 0, notLoggedIn, MB_ICONERROR},
        {"account missing", u"0312345678", 1, true, u"", "Call_OK", 0, noSettings, MB_ICONERROR},
        {"exchange refuses", u"0312345678", 1, true, u"2001", "Call_NG", 1,
         u"発信できませんでした。設定を確認して下さい。", MB_OK},
    };
    for (const auto& c : cases) {
        CTestPlatform p;
        p.bSecond = true;
        p.nFlag = c.flag;
        p.bFlagAvailable = c.flagAvailable;
        p.replyBody = c.reply;
        p.profile.WriteProfileString(u"Settings", u"User", c.user);
        p.profile.WriteProfileString(u"Settings", u"Pass", u"pw");
        p.profile.WriteProfileString(u"Settings", u"PBX", u"pbx.invalid");
        CKIVODialerApp app(p.Platform());
        EXPECT_FALSE(app.InitInstance(c.cmdLine)) << c.what;
        EXPECT_EQ(p.requests.size(), c.requests) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(p.boxes.empty()) << c.what;
        } else {
            ASSERT_EQ(p.boxes.size(), 1u) << c.what;
            EXPECT_EQ(p.boxes[0].text, c.message) << c.what;
            EXPECT_EQ(p.boxes[0].caption, u"KIVODialer") << c.what;
            EXPECT_EQ(p.boxes[0].type, c.type) << c.what;
        }
    }
}

} // namespace
