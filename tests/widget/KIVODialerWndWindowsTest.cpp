// The tray controller's commands 32772, 32776, 32779 and 57664 open the real windows: each at most once,
// brought to the front when open, the dial dialog new after a close, the call history window kept.
#include "app/AboutDlg.h"
#include "notify/MsgData.h"
#include "platform/qt/DialogBuilder.h"
#include "tests/support/TrayFixture.h"
#include "ui/ConfigDlg.h"
#include "ui/KIVODialerCdrDlg.h"
#include "ui/KIVODialerDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <chrono>
#include <thread>

namespace {

using WindowsTest = TrayFixture;

template <class T> std::vector<T*> Visible() {
    std::vector<T*> found;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<T*>(pWidget); p && p->isVisible())
            found.push_back(p);
    return found;
}

} // namespace

TEST_F(WindowsTest, DialCommandOpensOneDialogAndANewOneAfterAClose) {
    Create();
    QApplication::clipboard()->clear();
    m_pWnd->OnCommand(ID_DIAL);
    QPointer<CKIVODialerDlg> pFirst = m_pApp->m_pDialDlg;
    ASSERT_TRUE(pFirst);
    EXPECT_TRUE(pFirst->isVisible());
    m_pWnd->OnCommand(ID_DIAL);
    EXPECT_EQ(m_pApp->m_pDialDlg, pFirst.data());
    EXPECT_EQ(Visible<CKIVODialerDlg>().size(), 1u);

    pFirst->reject(); // closed: the dialog goes with its window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pFirst.isNull());
    EXPECT_EQ(m_pApp->m_pDialDlg, nullptr);
    m_pApp->m_bLogin = false;
    m_pWnd->OnCommand(ID_DIAL); // not logged in: nothing at all
    EXPECT_EQ(m_pApp->m_pDialDlg, nullptr);

    m_pApp->m_bLogin = true;
    m_pWnd->OnCommand(ID_DIAL);
    ASSERT_NE(m_pApp->m_pDialDlg, nullptr);
    EXPECT_TRUE(m_pApp->m_pDialDlg->isVisible());
}

TEST_F(WindowsTest, ACallFromTheDialDialogShowsOnTopOfTheHistoryWindow) {
    Create();
    m_pWnd->AddRecord(u"0311111111", u"着信者", 1);
    m_pWnd->OnCommand(ID_CALL_HISTORY);
    CKIVODialerCdrDlg* pHistory = m_pApp->m_pCdrDlg;
    ASSERT_NE(pHistory, nullptr);
    ASSERT_EQ(pHistory->m_list->rowCount(), 1);

    m_pbx.SetReply("Call_OK");
    CQtMessageBox::SetNextAnswer(IDOK);
    m_pWnd->OnCommand(ID_DIAL);
    CKIVODialerDlg* pDial = m_pApp->m_pDialDlg;
    pDial->m_cbDst->lineEdit()->setText(QStringLiteral("03-2222-2222"));
    GetDlgItem<QPushButton>(*pDial, IDOK)->click();

    EXPECT_TRUE(m_pbx.Requests().back().find("&dialno=0322222222&") != std::string::npos);
    EXPECT_EQ(CQtMessageBox::LastText(), u"発信しました。しばらくお待ち下さい。");
    EXPECT_FALSE(pDial->isVisible());
    ASSERT_EQ(pHistory->m_list->rowCount(), 2);
    EXPECT_EQ(pHistory->m_list->item(0, 0)->text(), QStringLiteral("発信"));
    EXPECT_EQ(pHistory->m_list->item(0, 2)->text(), QStringLiteral("03-2222-2222"));

    // Closed and opened again: the same window, its rows kept.
    pHistory->reject();
    m_pWnd->OnCommand(ID_CALL_HISTORY);
    EXPECT_EQ(m_pApp->m_pCdrDlg, pHistory);
    EXPECT_TRUE(pHistory->isVisible());
    EXPECT_EQ(pHistory->m_list->rowCount(), 2);
}

TEST_F(WindowsTest, SettingsCommandWhileTheDialogIsOpenOnlyBringsItToTheFront) {
    Create();
    m_pWnd->m_runConfig = [this] { return m_pWnd->RunRealConfigDialog(); };
    size_t nOpen = 0;
    bool bHeld = false;
    QTimer::singleShot(0, [&] {
        m_pWnd->OnCommand(ID_SETTINGS);
        nOpen = Visible<CConfigDlg>().size();
        bHeld = m_pWnd->m_bHoldRegister;
        CConfigDlg* pDlg = Visible<CConfigDlg>().front();
        GetDlgItem<QLineEdit>(*pDlg, IDC_CBTIME)->setText(QStringLiteral("20"));
        GetDlgItem<QPushButton>(*pDlg, IDOK)->click();
    });
    m_pWnd->OnCommand(ID_SETTINGS);
    EXPECT_EQ(nOpen, 1u);
    EXPECT_TRUE(bHeld);
    EXPECT_FALSE(m_pWnd->m_bHoldRegister);
    EXPECT_EQ(m_pApp->m_nCbtime, 20);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"Cbtime", 0), 20);
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerRegister), 1000);
}

TEST_F(WindowsTest, AboutCommandShowsOneBox) {
    Create();
    size_t nOpen = 0;
    QTimer::singleShot(0, [&] {
        m_pWnd->RunRealAbout(); // already open: returns at once
        nOpen = Visible<CAboutDlg>().size();
        Visible<CAboutDlg>().front()->accept();
    });
    m_pWnd->RunRealAbout();
    EXPECT_EQ(nOpen, 1u);
}

// A new port typed in the settings dialog is the port the channel listens on after OK, when the stored
// receive port was the old one; the exchange is told the same port.
TEST_F(WindowsTest, ANewPortAfterOkIsThePortTheChannelListensOn) {
    const int nOldPort = FreeUdpPort();
    m_profile.WriteProfileInt(kSectionSettings, u"PortNum", nOldPort);
    m_profile.WriteProfileInt(u"Config-UDP", u"Port-Recv", nOldPort);
    Create();
    int nNewPort = FreeUdpPort();
    while (nNewPort == nOldPort)
        nNewPort = FreeUdpPort();
    m_pWnd->m_runConfig = [this] { return m_pWnd->RunRealConfigDialog(); };
    QTimer::singleShot(0, [&] {
        CConfigDlg* pDlg = Visible<CConfigDlg>().front();
        GetDlgItem<QLineEdit>(*pDlg, IDC_PORTNUM)->setText(QString::number(nNewPort));
        GetDlgItem<QPushButton>(*pDlg, IDOK)->click();
    });
    m_pWnd->OnCommand(ID_SETTINGS);
    ASSERT_EQ(m_pApp->m_nPortNum, nNewPort);
    EXPECT_EQ(m_profile.GetProfileInt(u"Config-UDP", u"Port-Recv", 0), nNewPort);
    EXPECT_EQ(m_profile.GetProfileInt(u"Config-UDP", u"Port-Send", 0), nNewPort + 1);

    const std::string strCall = "request\t2001\t\t0311112222\t\t\t\t\t\t\t\t";
    const std::u16string strText(strCall.begin(), strCall.end());
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(nNewPort));
    sendto(fd, strCall.data(), strCall.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    close(fd);
    for (int n = 0; n < 100 && m_pWnd->m_queue.GetCount() == 0; ++n)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    auto pMsg = m_pWnd->m_queue.GetMsg();
    ASSERT_NE(pMsg, nullptr) << "nothing arrived on port " << nNewPort;
    EXPECT_EQ(pMsg->Text(), strText);
}
