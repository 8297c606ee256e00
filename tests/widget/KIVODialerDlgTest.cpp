// The dial dialog against a real application object and a loopback exchange.
#include "ui/KIVODialerDlg.h"

#include "platform/qt/DialogBuilder.h"
#include "resources/ResourceIds.h"
#include "tests/widget/AppFixture.h"
#include "ui/DstHistory.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace {

constexpr std::u16string_view kNoNumber =
    u"発信先に有効な電話番号が指定されていません。\n発信先に電話番号を入力してください。";
constexpr std::u16string_view kCallOk = u"発信しました。しばらくお待ち下さい。";
constexpr std::u16string_view kCallNg = u"発信できませんでした。設定を確認して下さい。";

class DialDlg : public AppFixture {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }

    void StoreHistory(std::initializer_list<std::u16string_view> entries) {
        int n = 1;
        for (std::u16string_view entry : entries)
            m_profile.WriteProfileString(kSectionDstNo, u"list" + ToU16Decimal(n++), entry);
    }
    std::u16string History(int n) {
        return m_profile.GetProfileString(kSectionDstNo, u"list" + ToU16Decimal(n), u"");
    }

    std::unique_ptr<CKIVODialerDlg> Open() {
        auto pDlg = std::make_unique<CKIVODialerDlg>(m_app);
        pDlg->show();
        QApplication::processEvents();
        return pDlg;
    }
    static QStringList Items(const QComboBox& cb) {
        QStringList items;
        for (int i = 0; i < cb.count(); ++i)
            items << cb.itemText(i);
        return items;
    }
    static void Type(CKIVODialerDlg& dlg, const QString& text) { dlg.m_cbDst->lineEdit()->setText(text); }
    static void Press(QWidget& target, Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(&target, &release);
    }
    static void ClickDial(CKIVODialerDlg& dlg) { GetDlgItem<QPushButton>(dlg, IDOK)->click(); }
};

} // namespace

TEST_F(DialDlg, ClipboardFirstLineComesFirstThenTheHistory) {
    StoreHistory({u"A", u"0123456789", u"B"});
    QApplication::clipboard()->setText(QStringLiteral("TEL 012-345-6789\n2nd line 999"));
    auto pDlg = Open();
    EXPECT_EQ(Items(*pDlg->m_cbDst), (QStringList{"0123456789", "A", "B"}));
    EXPECT_EQ(pDlg->m_cbDst->currentIndex(), 0);
    EXPECT_EQ(pDlg->m_cbDst->currentText(), QStringLiteral("0123456789"));
    EXPECT_EQ(GetDlgItem<QLabel>(*pDlg, IDC_SRC)->text(),
              QString::fromStdU16String(u"201@" + m_app.m_strPBX));
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("KIVODialer"));
}

TEST_F(DialDlg, WithoutClipboardTextTheFirstHistoryEntryOrNothingIsShown) {
    QApplication::clipboard()->setText(QStringLiteral("no digits here"));
    StoreHistory({u"A", u"B"});
    auto pDlg = Open();
    EXPECT_EQ(Items(*pDlg->m_cbDst), (QStringList{"A", "B"}));
    EXPECT_EQ(pDlg->m_cbDst->currentText(), QStringLiteral("A"));

    m_profile.m_values.clear();
    QApplication::clipboard()->clear();
    auto pEmpty = Open();
    EXPECT_EQ(pEmpty->m_cbDst->count(), 0);
    EXPECT_TRUE(pEmpty->m_cbDst->currentText().isEmpty());
}

TEST_F(DialDlg, TheDestinationIsSentTrimmedFilteredOrWithTheSfaPrefix) {
    struct Case {
        QString typed;
        std::string dialno;
    } cases[] = {
        {"(012) 345-6789 #2", "01234567892"},
        {" sfa-12ab ", "SFA-12ab"},
        {"SFA-", "SFA-"},
        {"*67", "*67"},
    };
    for (const auto& c : cases) {
        m_mainWnd.m_records.clear();
        m_messageBox.m_boxes.clear();
        auto pDlg = Open();
        Type(*pDlg, c.typed);
        ClickDial(*pDlg);
        ASSERT_FALSE(DialedNumbers().empty());
        EXPECT_EQ(DialedNumbers().back(), c.dialno);
        EXPECT_TRUE(m_server.Requests().back().ends_with("&cbtime=15"));
        ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
        EXPECT_EQ(m_messageBox.m_boxes[0].strText, kCallOk);
        EXPECT_EQ(m_messageBox.m_boxes[0].strCaption, u"KIVODialer");
        EXPECT_EQ(m_messageBox.m_boxes[0].nType & MB_ICONMASK, MB_ICONINFORMATION);
        EXPECT_FALSE(pDlg->isVisible()) << c.typed.toStdString();
        // Both histories keep the text as typed.
        EXPECT_EQ(History(1), c.typed.toStdU16String());
        ASSERT_EQ(m_mainWnd.m_records.size(), 1u);
        EXPECT_EQ(m_mainWnd.m_records.back().strNumber, c.typed.toStdU16String());
        EXPECT_EQ(m_mainWnd.m_records.back().nMode, 0);
        EXPECT_TRUE(m_mainWnd.m_records.back().strName.empty());
    }
}

TEST_F(DialDlg, ANumberWithoutDigitsIsRefusedBeforeAnythingIsSent) {
    auto pDlg = Open();
    Type(*pDlg, QStringLiteral("letters only"));
    ClickDial(*pDlg);
    ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
    EXPECT_EQ(m_messageBox.m_boxes[0].strText, kNoNumber);
    EXPECT_EQ(m_messageBox.m_boxes[0].strCaption, u"KIVODialer");
    EXPECT_EQ(m_messageBox.m_boxes[0].nType & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_TRUE(pDlg->isVisible());
    EXPECT_TRUE(m_profile.m_values.empty());
    EXPECT_TRUE(m_mainWnd.m_records.empty());
}

TEST_F(DialDlg, ARefusedCallStoresNothingAndKeepsTheDialogAsItWas) {
    StoreHistory({u"A"});
    m_server.SetReply("Call_NG");
    auto pDlg = Open();
    Type(*pDlg, QStringLiteral("03-1234-5678"));
    ClickDial(*pDlg);
    EXPECT_EQ(DialedNumbers(), std::vector<std::string>{"0312345678"});
    ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
    EXPECT_EQ(m_messageBox.m_boxes[0].strText, kCallNg);
    EXPECT_EQ(m_messageBox.m_boxes[0].nType & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_TRUE(pDlg->isVisible());
    EXPECT_EQ(pDlg->m_cbDst->currentText(), QStringLiteral("03-1234-5678"));
    EXPECT_EQ(History(1), u"A");
    EXPECT_EQ(History(2), u"");
    EXPECT_TRUE(m_mainWnd.m_records.empty());
}

TEST_F(DialDlg, AnExchangeThatCannotBeReachedIsReportedLikeARefusal) {
    m_app.m_strPBX = u"kivo-pbx.invalid";
    auto pDlg = Open();
    Type(*pDlg, QStringLiteral("0312345678"));
    ClickDial(*pDlg);
    ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
    EXPECT_EQ(m_messageBox.m_boxes[0].nType & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_TRUE(pDlg->isVisible());
    EXPECT_TRUE(m_mainWnd.m_records.empty());
}

TEST_F(DialDlg, DiallingAHistoryEntryMovesItToTheTop) {
    StoreHistory({u"A", u"012-345-6789", u"B"});
    auto pDlg = Open();
    pDlg->m_cbDst->setCurrentIndex(1);
    ClickDial(*pDlg);
    EXPECT_EQ(DialedNumbers(), std::vector<std::string>{"0123456789"});
    EXPECT_EQ(History(1), u"012-345-6789");
    EXPECT_EQ(History(2), u"A");
    EXPECT_EQ(History(3), u"B");
    ASSERT_EQ(m_mainWnd.m_records.size(), 1u);
    EXPECT_EQ(m_mainWnd.m_records.back().strNumber, u"012-345-6789");
}

TEST_F(DialDlg, EnterInTheComboDialsAndEscapeClosesWithoutSending) {
    auto pDlg = Open();
    Type(*pDlg, QStringLiteral("0312345678"));
    Press(*pDlg->m_cbDst->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(DialedNumbers(), std::vector<std::string>{"0312345678"});
    EXPECT_FALSE(pDlg->isVisible());
    EXPECT_EQ(pDlg->m_cbDst->count(), 0); // Enter adds nothing to the list

    auto pSecond = Open();
    Type(*pSecond, QStringLiteral("0399999999"));
    Press(*pSecond->m_cbDst->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(pSecond->isVisible());
    EXPECT_EQ(DialedNumbers().size(), 1u);
}
