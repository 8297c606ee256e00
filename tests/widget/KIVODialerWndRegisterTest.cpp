// Registration as the tray controller applies it: timer periods, login state, icon, tooltip, the shared
// flag, the give-up message and the hold while the settings dialog is open.
#include "tests/support/TrayFixture.h"
#include "tray/RegisterDecision.h"

namespace {
constexpr int kRefreshMin = 10800000;
constexpr int kRefreshMax = 17353400;

class RegisterTest : public TrayFixture {
protected:
    QString Tip() const { return m_pWnd->QtShell().TipShown(); }
};
} // namespace

TEST_F(RegisterTest, StartsGreyAndRegistersTwoSecondsLater) {
    Create();
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000) << "the channel runs from the start";
    EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Logout);
    EXPECT_EQ(Tip(), QStringLiteral("KIVODialer(未接続)"));
    EXPECT_TRUE(m_pApp->m_bLogin);
    EXPECT_EQ(LoginFlag(), 1u);
    // The offscreen platform has no tray: the icon waits for one without blocking.
    EXPECT_TRUE(m_pWnd->IsTrayRetryPending());
    EXPECT_TRUE(m_pbx.Requests().empty());

    ExpireRegister();
    ASSERT_EQ(m_pbx.Requests(),
              std::vector<std::string>{"/manager/kivodialer/regist?callid=2001&passwd=pw&port=10640&type=0"});
    EXPECT_TRUE(m_pApp->m_bLogin);
    EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Login);
    EXPECT_EQ(Tip(), QStringLiteral("KIVODialer"));
    const int nPeriod = m_pWnd->GetTimerPeriod(kTimerRegister);
    EXPECT_TRUE(nPeriod >= kRefreshMin && nPeriod <= kRefreshMax) << nPeriod;
}

TEST_F(RegisterTest, AStoppedExchangeGetsFiveAttemptsTenSecondsApartAndOneMessage) {
    m_pbx.Stop(); // the port is closed from now on
    Create();
    CQtMessageBox::SetNextAnswer(IDOK);
    for (int n = 1; n <= 4; ++n) {
        ExpireRegister();
        EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 10000) << "attempt " << n;
        EXPECT_EQ(m_pWnd->m_nRetry, unsigned(n));
        EXPECT_FALSE(m_pApp->m_bLogin);
        EXPECT_EQ(LoginFlag(), 0u);
        EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Logout);
        EXPECT_EQ(Tip(), QStringLiteral("KIVODialer(未接続)"));
    }
    EXPECT_NE(CQtMessageBox::LastText(), kRegisterGiveUpMessage);
    ExpireRegister();
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 0) << "the fifth failure kills the timer";
    EXPECT_EQ(m_pWnd->m_nRetry, 0u);
    EXPECT_EQ(CQtMessageBox::LastText(), kRegisterGiveUpMessage);
    EXPECT_EQ(CQtMessageBox::LastCaption(), u"KIVODialer");
    EXPECT_EQ(CQtMessageBox::LastType(), MB_ICONINFORMATION | MB_SYSTEMMODAL);
    EXPECT_FALSE(m_log.m_entries.empty()) << "each failed connection leaves a log entry";
}

TEST_F(RegisterTest, ARefusalCountsLikeAFailureAndAnAcceptanceResetsTheCount) {
    m_pbx.SetReply("NG;Auth NG");
    Create();
    for (int n = 0; n < 4; ++n)
        ExpireRegister();
    EXPECT_EQ(m_pWnd->m_nRetry, 4u);
    EXPECT_EQ(m_pbx.Requests().size(), 4u);

    m_pbx.SetReply("OK");
    ExpireRegister();
    EXPECT_EQ(m_pWnd->m_nRetry, 0u);
    EXPECT_TRUE(m_pApp->m_bLogin);
    EXPECT_EQ(LoginFlag(), 1u);
    EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Login);

    // A later outage gets its five attempts again.
    m_pbx.SetReply("NG;Auth NG");
    for (int n = 0; n < 4; ++n)
        ExpireRegister();
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 10000);
}

TEST_F(RegisterTest, IncompleteSettingsSendNothingAndChangeNothing) {
    m_profile.WriteProfileString(kSectionSettings, u"User", u"");
    Create();
    for (int n = 0; n < 3; ++n)
        ExpireRegister();
    EXPECT_TRUE(m_pbx.Requests().empty());
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    EXPECT_TRUE(m_pApp->m_bLogin);
    EXPECT_EQ(m_pWnd->m_hIconShown, ETrayIcon::Logout);
}

TEST_F(RegisterTest, SettingsHoldRegistrationAndOkRegistersOneSecondLater) {
    Create();
    ExpireRegister();
    ASSERT_EQ(m_pbx.Requests().size(), 1u);
    const int nRefresh = m_pWnd->GetTimerPeriod(kTimerRegister);

    // Cancel: the hold ends and the refresh cycle goes on unchanged.
    m_pWnd->m_runConfig = [&] {
        EXPECT_TRUE(m_pWnd->m_bHoldRegister);
        ExpireRegister(); // expiries inside the dialog's loop do not register
        return false;
    };
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_FALSE(m_pWnd->m_bHoldRegister);
    EXPECT_EQ(m_pbx.Requests().size(), 1u);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), nRefresh);

    // OK: the channel restarts and a registration follows after 1000 ms.
    m_pWnd->m_runConfig = [&] {
        m_pWnd->KillTimer(kTimerDrain); // shows that the restart re-arms the drain timer
        return true;
    };
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_FALSE(m_pWnd->m_bHoldRegister);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 1000);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000);
    ExpireRegister();
    EXPECT_EQ(m_pbx.Requests().size(), 2u);
}

TEST_F(RegisterTest, SettingsOkAfterGivingUpStartsAgainAndKeepsTheRetryCount) {
    m_pbx.SetReply("NG;Auth NG");
    Create();
    for (int n = 0; n < 3; ++n)
        ExpireRegister();
    m_pWnd->m_runConfig = [] { return true; };
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 1000);
    // Three failures were counted: the fourth and fifth attempts are all that remain.
    ExpireRegister();
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 10000);
    CQtMessageBox::SetNextAnswer(IDOK);
    ExpireRegister();
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 0);
    EXPECT_EQ(m_pbx.Requests().size(), 5u);
}
