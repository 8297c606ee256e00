// The dialog templates laid out with the stand-in CJK font: every caption fits its control, nothing
// overlaps, controls are named after their ids and taken in tab order.
#include "platform/qt/DialogBuilder.h"

#include "platform/IMessageBox.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Parameterised by template id, so that the tests are named after it.
class DialogLayout : public ::testing::TestWithParam<int> {
protected:
    const CDialogTemplate& Template() const { return *FindDialogTemplate(GetParam()); }
};

QString Caption(const CDialogControl& ctl) {
    return QString::fromStdU16String(std::u16string(ctl.strCaption));
}

} // namespace

TEST_P(DialogLayout, CaptionsFitAndControlsNeitherOverlapNorLeaveTheClientArea) {
    const CDialogTemplate& tpl = Template();
    QDialog dlg;
    BuildDialog(dlg, tpl);
    EXPECT_EQ(QFontInfo(dlg.font()).family(), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(dlg.windowTitle(), Caption({0, EControlKind::Static, tpl.strCaption, 0, 0, 0, 0}));

    const QList<QWidget*> widgets = dlg.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(widgets.size(), qsizetype(tpl.controls.size()));
    // Rounding each value on its own may put a control's far edge one pixel past the client area.
    const QRect client(QPoint(0, 0), dlg.size() + QSize(1, 1));
    const QFontMetrics fm(dlg.font());
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const CDialogControl& ctl = tpl.controls[i];
        QWidget* pWidget = widgets[i];
        EXPECT_EQ(pWidget->objectName(), QString::number(ctl.nId));
        EXPECT_TRUE(client.contains(pWidget->geometry())) << ctl.nId;
        const QString strText = StripMnemonic(Caption(ctl));
        if (!strText.isEmpty()) {
            EXPECT_GE(pWidget->width(), fm.horizontalAdvance(strText)) << strText.toStdString();
            if (qobject_cast<QLabel*>(pWidget)) {
                EXPECT_GE(pWidget->height(), fm.height()) << strText.toStdString();
            }
        }
        if (qobject_cast<QGroupBox*>(pWidget))
            continue;
        for (qsizetype j = i + 1; j < widgets.size(); ++j) {
            if (qobject_cast<QGroupBox*>(widgets[j]))
                continue;
            EXPECT_FALSE(pWidget->geometry().intersects(widgets[j]->geometry()))
                << ctl.nId << " overlaps " << tpl.controls[j].nId << " (" << strText.toStdString() << ")";
        }
    }
}

TEST_P(DialogLayout, TabOrderFollowsTheTemplate) {
    const CDialogTemplate& tpl = Template();
    QDialog dlg;
    BuildDialog(dlg, tpl);
    std::vector<QWidget*> expected;
    for (const CDialogControl& ctl : tpl.controls)
        if (ctl.nStyle & kCtlTabStop)
            expected.push_back(GetDlgItem<QWidget>(dlg, ctl.nId));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(dlg.focusWidget(), expected.front());
    for (size_t i = 0; i + 1 < expected.size(); ++i) {
        QWidget* pNext = expected[i]->nextInFocusChain();
        while (pNext->focusPolicy() == Qt::NoFocus || pNext->parentWidget() != &dlg)
            pNext = pNext->nextInFocusChain();
        EXPECT_EQ(pNext, expected[i + 1]) << tpl.nId << " after " << expected[i]->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogLayout,
                         ::testing::Values(IDD_ABOUTBOX, IDD_KIVODIALER_DIALOG, IDD_CONFIG, IDD_CDR));

TEST(DialogTemplates, MnemonicsReachTheNextControl) {
    QDialog dlg;
    BuildDialog(dlg, g_dlgConfig);
    const auto* pLabel = GetDlgItem<QLabel>(dlg, IDC_LABEL_PORT);
    EXPECT_EQ(pLabel->buddy(), GetDlgItem<QWidget>(dlg, IDC_PORTNUM));
    QLabel* pDblClk = nullptr;
    for (QLabel* p : dlg.findChildren<QLabel*>(ControlName(IDC_STATIC)))
        pDblClk = p;
    ASSERT_NE(pDblClk, nullptr);
    EXPECT_EQ(pDblClk->buddy(), GetDlgItem<QWidget>(dlg, IDC_DBLCLK));
    EXPECT_TRUE(GetDlgItem<QPushButton>(dlg, IDOK)->isDefault());
    EXPECT_EQ(FindDialogTemplate(IDD_CONFIG), &g_dlgConfig);
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

TEST(DialogTemplates, DialogUnitsFollowTheFontMetrics) {
    const CDialogUnits units(7.0, 17);
    EXPECT_EQ(units.X(22), 39);  // 38.5 rounds up
    EXPECT_EQ(units.Y(61), 130); // 129.625
    EXPECT_EQ(units.Map(12, 9, 22, 8), QRect(21, 19, 39, 17));
    // A widened template still maps its widest caption to at least the caption's width.
    QDialog dlg;
    const CDialogUnits widened = BuildDialog(dlg, g_dlgConfig);
    EXPECT_GT(widened.BaseX(), CDialogUnits(dlg.font()).BaseX());
}
