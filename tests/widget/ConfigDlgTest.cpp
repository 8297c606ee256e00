// The settings dialog against a real application object and a profile in memory.
#include "ui/ConfigDlg.h"

#include "platform/qt/DialogBuilder.h"
#include "resources/ResourceIds.h"
#include "tests/widget/AppFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace {

class ConfigDlg : public AppFixture {
protected:
    ConfigDlg() {
        m_app.m_strPBX = u"pbx.example.invalid";
        m_app.m_nPortNum = 10640;
        m_app.m_nDblClk = 1;
    }
    std::unique_ptr<CConfigDlg> Open() {
        auto pDlg = std::make_unique<CConfigDlg>(m_app);
        pDlg->show();
        pDlg->activateWindow();
        QApplication::processEvents();
        return pDlg;
    }
    static QLineEdit* Edit(CConfigDlg& dlg, int nId) { return GetDlgItem<QLineEdit>(dlg, nId); }
    static QComboBox* Combo(CConfigDlg& dlg) { return GetDlgItem<QComboBox>(dlg, IDC_DBLCLK); }
    static void ClickOk(CConfigDlg& dlg) { GetDlgItem<QPushButton>(dlg, IDOK)->click(); }
};

} // namespace

TEST_F(ConfigDlg, FieldsShowTheSettingsAndTheFiveActions) {
    auto pDlg = Open();
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("環境設定"));
    EXPECT_EQ(Edit(*pDlg, IDC_USER)->text(), QStringLiteral("201"));
    EXPECT_EQ(Edit(*pDlg, IDC_PASS)->text(), QStringLiteral("secret"));
    EXPECT_EQ(Edit(*pDlg, IDC_PASS)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Edit(*pDlg, IDC_PBX)->text(), QStringLiteral("pbx.example.invalid"));
    EXPECT_EQ(Edit(*pDlg, IDC_CBTIME)->text(), QStringLiteral("15"));
    EXPECT_EQ(Edit(*pDlg, IDC_PORTNUM)->text(), QStringLiteral("10640"));
    QStringList items;
    for (int i = 0; i < Combo(*pDlg)->count(); ++i)
        items << Combo(*pDlg)->itemText(i);
    EXPECT_EQ(items, (QStringList{"ダイヤル", "発着信履歴", "KIVO-PBX Manager", "PBXのアドレス帳を開く",
                                  "PBXの通話履歴を開く"}));
    EXPECT_EQ(Combo(*pDlg)->currentIndex(), 1);
    EXPECT_FALSE(Combo(*pDlg)->isEditable());
}

TEST_F(ConfigDlg, AStoredActionOutsideTheListShowsAndStoresTheFirstItem) {
    for (int nStored : {7, 5, -1}) {
        m_app.m_nDblClk = nStored;
        auto pDlg = Open();
        EXPECT_EQ(Combo(*pDlg)->currentIndex(), 0) << nStored;
        ClickOk(*pDlg);
        EXPECT_EQ(pDlg->result(), QDialog::Accepted);
        EXPECT_EQ(m_app.m_nDblClk, 0);
        EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"DblClk", -9), 0);
    }
}

TEST_F(ConfigDlg, OkStoresTheSixSettingsInTheApplicationAndTheProfile) {
    auto pDlg = Open();
    Edit(*pDlg, IDC_USER)->setText(QStringLiteral("202"));
    Edit(*pDlg, IDC_PASS)->setText(QStringLiteral("pa&ss word"));
    Edit(*pDlg, IDC_PBX)->setText(QStringLiteral("127.0.0.1:8080"));
    Edit(*pDlg, IDC_CBTIME)->setText(QStringLiteral(" 20 "));
    Edit(*pDlg, IDC_PORTNUM)->setText(QStringLiteral("65535"));
    Combo(*pDlg)->setCurrentIndex(4);
    ClickOk(*pDlg);
    EXPECT_TRUE(m_messageBox.m_boxes.empty());
    EXPECT_EQ(pDlg->result(), QDialog::Accepted);
    EXPECT_FALSE(pDlg->isVisible());
    EXPECT_EQ(m_app.m_strUser, u"202");
    EXPECT_EQ(m_app.m_strPass, u"pa&ss word");
    EXPECT_EQ(m_app.m_strPBX, u"127.0.0.1:8080");
    EXPECT_EQ(m_app.m_nCbtime, 20);
    EXPECT_EQ(m_app.m_nPortNum, 65535);
    EXPECT_EQ(m_app.m_nDblClk, 4);
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"User", u""), u"202");
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"Pass", u""), u"pa&ss word");
    EXPECT_EQ(m_profile.GetProfileString(kSectionSettings, u"PBX", u""), u"127.0.0.1:8080");
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"Cbtime", 0), 20);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"PortNum", 0), 65535);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionSettings, u"DblClk", 0), 4);
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(ConfigDlg, TheFirstBadFieldIsReportedFocusedAndNothingIsStored) {
    struct Case {
        QString cbtime, portnum;
        std::u16string message;
        int nField;
    } cases[] = {
        {"4", "10640", u"Enter an integer between 5 and 20.", IDC_CBTIME},
        {"21", "10640", u"Enter an integer between 5 and 20.", IDC_CBTIME},
        {"", "10640", u"Enter an integer.", IDC_CBTIME},
        {"10", "1023", u"Enter an integer between 1024 and 65535.", IDC_PORTNUM},
        {"10", "65536", u"Enter an integer between 1024 and 65535.", IDC_PORTNUM},
        {"10", "abc", u"Enter an integer.", IDC_PORTNUM},
        {"4", "abc", u"Enter an integer between 5 and 20.", IDC_CBTIME}, // both bad: ring time only
    };
    for (const auto& c : cases) {
        m_messageBox.m_boxes.clear();
        auto pDlg = Open();
        Edit(*pDlg, IDC_USER)->setText(QStringLiteral("changed"));
        Edit(*pDlg, IDC_CBTIME)->setText(c.cbtime);
        Edit(*pDlg, IDC_PORTNUM)->setText(c.portnum);
        Edit(*pDlg, IDC_USER)->setFocus();
        ClickOk(*pDlg);
        ASSERT_EQ(m_messageBox.m_boxes.size(), 1u)
            << c.cbtime.toStdString() << "/" << c.portnum.toStdString();
        EXPECT_EQ(m_messageBox.m_boxes[0].strText, c.message);
        EXPECT_EQ(m_messageBox.m_boxes[0].strCaption, m_app.m_strAppName);
        EXPECT_EQ(m_messageBox.m_boxes[0].nType & MB_ICONMASK, MB_ICONEXCLAMATION);
        QLineEdit* pField = Edit(*pDlg, c.nField);
        EXPECT_EQ(QApplication::focusWidget(), pField);
        EXPECT_EQ(pField->selectedText(), pField->text());
        EXPECT_TRUE(pDlg->isVisible());
        EXPECT_EQ(m_app.m_strUser, u"201");
        EXPECT_TRUE(m_profile.m_values.empty());
        EXPECT_EQ(m_profile.m_nFlushes, 0);
    }
}

TEST_F(ConfigDlg, OutOfRangeStoredValuesAreShownAndRefusedOnlyOnOk) {
    m_app.m_nCbtime = 99;
    auto pDlg = Open();
    EXPECT_EQ(Edit(*pDlg, IDC_CBTIME)->text(), QStringLiteral("99"));
    ClickOk(*pDlg);
    ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
    EXPECT_EQ(m_messageBox.m_boxes[0].strText, u"Enter an integer between 5 and 20.");
}

TEST_F(ConfigDlg, CancelChangesNothing) {
    auto pDlg = Open();
    Edit(*pDlg, IDC_USER)->setText(QStringLiteral("changed"));
    Edit(*pDlg, IDC_CBTIME)->setText(QStringLiteral("4"));
    GetDlgItem<QPushButton>(*pDlg, IDCANCEL)->click();
    EXPECT_EQ(pDlg->result(), QDialog::Rejected);
    EXPECT_TRUE(m_messageBox.m_boxes.empty());
    EXPECT_EQ(m_app.m_strUser, u"201");
    EXPECT_TRUE(m_profile.m_values.empty());
}
