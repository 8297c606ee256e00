// Queued notifications reach the balloon and the call history one per second, only while logged in.
#include "tests/support/TrayFixture.h"

#include "app/TextUtil.h"
#include "tray/CallHistoryStore.h"

namespace {
class NotifyTest : public TrayFixture {
protected:
    void Queue(std::u16string_view text) {
        m_pWnd->m_queue.PutData(text.data(), static_cast<int32_t>(text.size() * sizeof(char16_t)));
    }
    void Tick() { m_pWnd->OnTimer(kTimerDrain); }

    static constexpr std::u16string_view kCall =
        u"request\t2001\t\t0312345678\tVazi\tSales\t\t着信\t9\tline1\tline2\t";
};
} // namespace

TEST_F(NotifyTest, OneNotificationPerTickOnlyWhileLoggedIn) {
    Create();
    Queue(kCall);
    Queue(u"request\t2001\t\t0298765432\t\t\t\t\t");

    m_pApp->m_bLogin = false;
    Tick();
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 2u) << "notifications wait while not logged in";
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000);
    EXPECT_TRUE(m_pWnd->GetCdrList().empty());

    m_pApp->m_bLogin = true;
    Tick();
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 1u);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000);
    EXPECT_EQ(m_pWnd->m_balloonShown.strTitle, u"着信" + std::u16string(8, u'\u3000'));
    EXPECT_EQ(m_pWnd->m_balloonShown.strText, u"Vazi[Sales] - 0312345678");
    ASSERT_EQ(m_pWnd->GetCdrList().size(), 1u);
    const CdrRecord& rec = m_pWnd->GetCdrList().back();
    EXPECT_EQ(rec.strNumber, u"0312345678");
    EXPECT_EQ(rec.strName, u"Vazi[Sales]");
    EXPECT_EQ(rec.nMode, kCdrModeReceived);
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"0312345678") << "saved at once";

    Tick();
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 0u);
    EXPECT_EQ(m_pWnd->m_balloonShown.strTitle, u"KIVO-PBX");
    EXPECT_EQ(m_pWnd->m_balloonShown.strText, u"0298765432");
    EXPECT_EQ(m_pWnd->GetCdrList().size(), 2u);
}

TEST_F(NotifyTest, OtherKeywordsAndOtherAccountsLeaveNoTrace) {
    Create();
    for (std::u16string_view text : {u"requpstate\t2001\t\t03\t", u"Request\t2001\t\t03\t",
                                     u"request\t2002\t\t03\t", u"\trequest\t2001\t\t03\t"}) {
        Queue(text);
        Tick();
    }
    EXPECT_EQ(m_pWnd->m_queue.GetCount(), 0u);
    EXPECT_TRUE(m_pWnd->GetCdrList().empty());
    EXPECT_TRUE(m_pWnd->m_balloonShown.strText.empty());
}

TEST_F(NotifyTest, ACallWithoutNumberShowsABalloonButAddsNoRecord) {
    Create();
    Queue(u"request\t2001\t\t\tVazi\t\t\t\t");
    Tick();
    EXPECT_EQ(m_pWnd->m_balloonShown.strText, u"Vazi - ");
    EXPECT_TRUE(m_pWnd->GetCdrList().empty());
}

TEST_F(NotifyTest, TheHistoryIsLoadedAtCreationAndAppendedInOrder) {
    m_profile.WriteProfileString(kSectionCdr, u"CallNum1", u"0311112222");
    m_profile.WriteProfileString(kSectionCdr, u"Mode1", u"0");
    Create();
    ASSERT_EQ(m_pWnd->GetCdrList().size(), 1u);
    EXPECT_TRUE(m_pApp->AddCallHistory(u"0333334444", u"", kCdrModePlaced));
    EXPECT_FALSE(m_pApp->AddCallHistory(u"", u"", kCdrModePlaced));
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum2", u""), u"0333334444");
    EXPECT_EQ(m_pApp->GetCdrList(), &m_pWnd->GetCdrList());
}
