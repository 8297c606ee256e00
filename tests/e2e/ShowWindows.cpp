// Shows one of the program's windows with sample data on the current display, for looking at it and
// taking its picture: kivo-show-windows dial|history|settings|about|call [--pbx HOST:PORT] [--user U]
// [--pass P]. The call history window gets rows of both kinds, the dial dialog a history and a number
// on the clipboard. "call" shows the dial dialog and, once a call was accepted, the call history
// window with the new row, the way the tray controller's store refreshes it.
#include "app/AboutDlg.h"
#include "app/KIVODialerApp.h"
#include "app/MemoryProfile.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"
#include "platform/posix/SyslogEventLog.h"
#include "platform/qt/QtMessageBox.h"
#include "ui/ConfigDlg.h"
#include "ui/DstHistory.h"
#include "ui/KIVODialerCdrDlg.h"
#include "ui/KIVODialerDlg.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QClipboard>

#include <cstdio>
#include <cstring>
#include <list>
#include <memory>

namespace {

class CSampleMainWnd : public IMainWnd {
public:
    explicit CSampleMainWnd(CKIVODialerApp& app) : m_app(app) {}
    bool AddRecord(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode) override {
        m_records.push_back({strNumber, strName, u"2024/01/31 12:00:00", nMode});
        if (m_app.m_pCdrDlg)
            m_app.m_pCdrDlg->RefreshList();
        return true;
    }
    CKIVODialerApp& m_app;
    const std::list<CdrRecord>& GetCdrList() const override { return m_records; }
    std::list<CdrRecord> m_records = {
        {u"0312345678", u"", u"2024/01/30 09:12:03", 0},
        {u"0452223333", u"株式会社セルベーヌ 営業部 山田太郎", u"2024/01/30 14:40:51", 1},
        {u"09011112222", u"", u"2024/01/31 08:05:17", 1},
        {u"SFA-12ab", u"", u"2024/01/31 10:21:44", 0},
        {u"0663334444", u"大阪支店", u"2024/01/31 11:30:09", 1},
    };
};

class CSampleInstance : public ISingleInstance, public ISharedLoginFlag {
public:
    bool IsSecondInstance() override { return false; }
    bool Read(uint32_t& value) override { return value = 1, true; }
    bool Write(uint32_t) override { return true; }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const char* pszWhich = argc > 1 ? argv[1] : "";
    std::u16string strPBX = u"192.0.2.10"; // shown only; nothing is sent unless a button is pressed
    std::u16string strUser = u"201";
    std::u16string strPass = u"secret";
    for (int i = 2; i + 1 < argc; i += 2) {
        std::u16string* pTarget = std::strcmp(argv[i], "--pbx") == 0    ? &strPBX
                                  : std::strcmp(argv[i], "--user") == 0 ? &strUser
                                  : std::strcmp(argv[i], "--pass") == 0 ? &strPass
                                                                        : nullptr;
        if (pTarget)
            *pTarget = ToU16String(QString::fromLocal8Bit(argv[i + 1]));
    }

    CMemoryProfile profile;
    CPosixHttpTransport http;
    CSyslogEventLog eventLog;
    CQtMessageBox messageBox;
    CSampleInstance instance;
    CIconvCodePage932 codePage;
    CSystemClock clock;
    CKIVODialerApp app(CPlatform{profile, http, eventLog, messageBox, instance, instance, codePage, clock});
    CSampleMainWnd mainWnd(app);
    app.m_pMainWnd = &mainWnd;
    app.m_strUser = strUser;
    app.m_strPass = strPass;
    app.m_strPBX = strPBX;
    app.m_nDblClk = 1;
    app.m_bLogin = true;
    profile.WriteProfileString(kSectionDstNo, u"list1", u"03-1234-5678");
    profile.WriteProfileString(kSectionDstNo, u"list2", u"SFA-12ab");
    profile.WriteProfileString(kSectionDstNo, u"list3", u"*67");

    std::unique_ptr<QDialog> pDlg;
    std::unique_ptr<CKIVODialerCdrDlg> pHistory;
    if (std::strcmp(pszWhich, "call") == 0) {
        QApplication::clipboard()->clear();
        auto* pDial = new CKIVODialerDlg(app);
        pDlg.reset(pDial);
        pHistory = std::make_unique<CKIVODialerCdrDlg>(app);
        app.m_pCdrDlg = pHistory.get();
        QObject::connect(pDial, &QDialog::accepted, pHistory.get(), &QWidget::show);
        QObject::connect(pHistory.get(), &QDialog::finished, &qapp, &QApplication::quit);
        pDlg->show();
        return QApplication::exec();
    }
    if (std::strcmp(pszWhich, "dial") == 0) {
        QApplication::clipboard()->setText(QStringLiteral("TEL 045-222-3333\n株式会社セルベーヌ"));
        pDlg = std::make_unique<CKIVODialerDlg>(app);
    } else if (std::strcmp(pszWhich, "history") == 0) {
        pDlg = std::make_unique<CKIVODialerCdrDlg>(app);
    } else if (std::strcmp(pszWhich, "settings") == 0) {
        pDlg = std::make_unique<CConfigDlg>(app);
    } else if (std::strcmp(pszWhich, "about") == 0) {
        pDlg = std::make_unique<CAboutDlg>(app);
    } else {
        std::fprintf(stderr, "usage: %s dial|history|settings|about|call [--pbx H:P] [--user U] [--pass P]\n",
                     argv[0]);
        return 2;
    }
    pDlg->show();
    QObject::connect(pDlg.get(), &QDialog::finished, &qapp, &QApplication::quit);
    return QApplication::exec();
}
