// Exit asks first; Yes stops the channel, saves the history, removes the icon and ends the loop.
#include "tests/support/TrayFixture.h"

#include "tray/CallHistoryStore.h"

namespace {
using ExitTest = TrayFixture;
}

TEST_F(ExitTest, NoLeavesEverythingRunning) {
    Create();
    CQtMessageBox::SetNextAnswer(IDNO);
    m_pWnd->OnCommand(ID_APP_EXIT);
    DeliverPosted();
    EXPECT_EQ(CQtMessageBox::LastText(), u"終了します。よろしいですか？");
    EXPECT_EQ(CQtMessageBox::LastCaption(), u"KIVODialer");
    EXPECT_EQ(CQtMessageBox::LastType(), MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerDrain), 1000);
    EXPECT_TRUE(m_pWnd->m_terminal.HasTerminal());
}

TEST_F(ExitTest, YesSavesTheHistoryAndRemovesTheIcon) {
    Create();
    m_pWnd->AddRecord(u"0312345678", u"Vazi", kCdrModeReceived);
    m_profile.Erase(kSectionCdr, u"CallNum1"); // so that the save at exit shows
    int nDestroyed = 0;
    QObject::connect(&m_pWnd->QtShell(), &CQtTrayShell::Destroyed, [&] { ++nDestroyed; });

    CQtMessageBox::SetNextAnswer(IDYES);
    m_pWnd->OnCommand(ID_APP_EXIT);
    EXPECT_EQ(nDestroyed, 0) << "the close is posted";
    DeliverPosted();
    EXPECT_EQ(nDestroyed, 1);
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"0312345678");
    EXPECT_FALSE(m_pWnd->m_terminal.HasTerminal());
    EXPECT_FALSE(m_pWnd->TrayIcon()->IsVisible());
    EXPECT_FALSE(m_pWnd->IsTrayRetryPending());
    for (int nId : {kTimerClick, kTimerRegister, kTimerDrain})
        EXPECT_EQ(m_pWnd->GetTimerPeriod(nId), 0) << nId;
    EXPECT_EQ(m_pWnd->GetCdrList().size(), 1u) << "records stay readable after the save";
}

TEST_F(ExitTest, TheSessionEndSavesAndTheProgramGoesOn) {
    Create();
    m_pWnd->AddRecord(u"01", u"", kCdrModePlaced);
    m_profile.Erase(kSectionCdr, u"CallNum1");
    EXPECT_TRUE(m_pWnd->OnQueryEndSession());
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"01");
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 2000);
    m_pWnd->AddRecord(u"02", u"", kCdrModePlaced);
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum1", u""), u"01");
    EXPECT_EQ(m_profile.GetProfileString(kSectionCdr, u"CallNum2", u""), u"02");
}
