// What the settings can do to the address the exchange's pages open: nothing but fill in the query. The
// address stays http://<the exchange>/manager/..., reaches the browser as one argument, and gives back the
// account and password exactly; a setting that would change the host opens nothing.
#include "tests/support/TrayFixture.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

namespace {

class CUrlCatcher : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Open(const QUrl& url) { m_urls.push_back(url); }
    std::vector<QUrl> m_urls;
};

class BrowserAddressTest : public TrayFixture {
protected:
    void SetUp() override {
        TrayFixture::SetUp();
        for (const char* pszScheme : {"http", "https", "javascript", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(pszScheme), &m_catcher, "Open");
    }
    void TearDown() override {
        for (const char* pszScheme : {"http", "https", "javascript", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(pszScheme));
        TrayFixture::TearDown();
    }
    // A form-encoded query value back as text (ASCII here, so code page 932 is ASCII).
    static QString FormValue(const QUrl& url, const QString& strKey) {
        QByteArray value = QUrlQuery(url).queryItemValue(strKey, QUrl::FullyEncoded).toLatin1();
        value.replace('+', ' ');
        return QString::fromLatin1(QByteArray::fromPercentEncoding(value));
    }

    CUrlCatcher m_catcher;
};

} // namespace

TEST_F(BrowserAddressTest, AccountAndPasswordOnlyFillInTheQuery) {
    const std::u16string values[] = {
        u"a b",
        u"\"x\" 'y'",
        u"p#w@evil.invalid",
        u"x\ny",
        u"javascript:alert(1)",
        u"&redirecturl=http://evil.invalid/",
        u"/../../@evil.invalid",
        u"%2F%40",
        u"$(touch x)`id`;|",
    };
    Create();
    for (const std::u16string& strValue : values) {
        m_pApp->m_strUser = strValue;
        m_pApp->m_strPass = strValue;
        m_catcher.m_urls.clear();
        m_pWnd->OnCommand(ID_PBX_CDR);
        ASSERT_EQ(m_catcher.m_urls.size(), 1u);
        const QUrl& url = m_catcher.m_urls[0];
        const QString strValueQ = QString::fromStdU16String(strValue);
        SCOPED_TRACE(strValueQ.toStdString());
        EXPECT_EQ(url.scheme(), "http");
        EXPECT_EQ(url.host(), "127.0.0.1");
        EXPECT_EQ(url.port(), m_pbx.Port());
        EXPECT_EQ(url.userInfo(), "");
        EXPECT_EQ(url.path(), "/manager/login");
        EXPECT_FALSE(url.hasFragment());
        EXPECT_EQ(FormValue(url, "username"), strValueQ);
        EXPECT_EQ(FormValue(url, "password"), strValueQ);
        EXPECT_EQ(FormValue(url, "redirecturl"), "/cdr");
        EXPECT_EQ(QUrlQuery(url).queryItems().size(), 3);
        // The desktop hands the address to its browser as one argument of a command it splits at spaces
        // and quotes (xdg-open, or $BROWSER).
        const QStringList command = QProcess::splitCommand(QStringLiteral("xdg-open ") + url.toEncoded());
        ASSERT_EQ(command.size(), 2);
        EXPECT_EQ(command[1], url.toEncoded());
    }
}

TEST_F(BrowserAddressTest, ASettingThatWouldChangeTheHostOpensNothing) {
    Create();
    const std::u16string strHost = m_pbx.Host();
    for (const std::u16string& strPbx :
         {strHost + u"@evil.invalid", u"evil.invalid@" + strHost, strHost + u"/@evil.invalid", strHost + u"#",
          strHost + u" evil.invalid", u"javascript:alert(1)//" + strHost, u"evil.invalid\n" + strHost}) {
        m_pApp->m_strPBX = strPbx;
        for (int nCommand : {ID_PBX_MANAGER, ID_PBX_ADDRBOOK, ID_PBX_CDR})
            m_pWnd->OnCommand(nCommand);
    }
    EXPECT_TRUE(m_catcher.m_urls.empty());
}

#include "BrowserAddressTest.moc"
