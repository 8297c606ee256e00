// The exchange's pages open in the browser with the account in code page 932, only while logged in.
#include "tests/support/TrayFixture.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
// Takes the addresses the desktop would hand to the browser.
class CUrlCatcher : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Open(const QUrl& url) { m_urls.push_back(url.toEncoded().toStdString()); }
    std::vector<std::string> m_urls;
};

class PbxPagesTest : public TrayFixture {
protected:
    void SetUp() override {
        TrayFixture::SetUp();
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_catcher, "Open");
        m_profile.WriteProfileString(kSectionSettings, u"User", u"テスト 1");
        m_profile.WriteProfileString(kSectionSettings, u"Pass", u"&=#%+");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        TrayFixture::TearDown();
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_pbx.Port()); }

    CUrlCatcher m_catcher;
};
} // namespace

TEST_F(PbxPagesTest, ThePagesAndTheirLoginQueries) {
    Create();
    m_pWnd->OnCommand(ID_PBX_MANAGER);
    m_pWnd->OnCommand(ID_PBX_ADDRBOOK);
    m_pWnd->OnCommand(ID_PBX_CDR);
    const std::string strQuery =
        "/manager/login?username=%83e%83X%83g+1&password=%26%3D%23%25%2B&redirecturl=";
    EXPECT_EQ(m_catcher.m_urls, (std::vector<std::string>{
                                    Base() + "/manager/",
                                    Base() + strQuery + "%2Faddrbook",
                                    Base() + strQuery + "%2Fcdr",
                                }));
}

TEST_F(PbxPagesTest, DoubleClickActionsTwoToFourOpenThePages) {
    Create();
    for (int nDblClk : {2, 3, 4}) {
        m_pApp->m_nDblClk = nDblClk;
        m_pWnd->OnLButtonDblClk();
    }
    ASSERT_EQ(m_catcher.m_urls.size(), 3u);
    EXPECT_EQ(m_catcher.m_urls[0], Base() + "/manager/");
    EXPECT_TRUE(m_catcher.m_urls[2].ends_with("redirecturl=%2Fcdr"));
}

TEST_F(PbxPagesTest, NothingOpensWhileNotLoggedIn) {
    m_pbx.SetReply("NG;Auth NG");
    Create();
    ExpireRegister();
    ASSERT_FALSE(m_pApp->m_bLogin);
    for (int nCommand : {ID_PBX_MANAGER, ID_PBX_ADDRBOOK, ID_PBX_CDR, ID_DIAL, ID_CALL_HISTORY})
        m_pWnd->OnCommand(nCommand);
    EXPECT_TRUE(m_catcher.m_urls.empty());
}

#include "KIVODialerWndPbxPagesTest.moc"
