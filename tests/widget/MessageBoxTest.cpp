// The message boxes shown for real (no answer given in advance): whatever a text holds, it is shown as
// plain text and the box stays inside the screen with its button reachable.
#include "pbxweb/ReplyTable.h"
#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct CShownBox {
    Qt::TextFormat eFormat = Qt::AutoText;
    QRect rcFrame;
    QString strText;
};

// Shows the box and reads it once it is up; its OK button then closes it.
CShownBox ShowAndRead(std::u16string_view text) {
    CShownBox shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            auto* pBox = qobject_cast<QMessageBox*>(pWidget);
            if (!pBox || !pBox->isVisible())
                continue;
            shown.eFormat = pBox->textFormat();
            shown.rcFrame = pBox->frameGeometry();
            shown.strText = pBox->text();
            pBox->buttons().front()->click();
        }
    });
    CQtMessageBox box;
    EXPECT_EQ(box.MessageBox(text, u"KIVODialer", MB_ICONEXCLAMATION), IDOK);
    return shown;
}

} // namespace

TEST(MessageBox, ARepliedPageIsPlainTextAndNoBoxOutgrowsTheScreen) {
    const QRect rcScreen = QGuiApplication::primaryScreen()->availableGeometry();
    std::u16string strManyLines;
    for (int i = 0; i < 3000; ++i)
        strManyLines += u"line\n";
    const std::u16string html =
        u"<html><h1>Portal</h1><table><tr><td>x</td></tr></table><a href=\"http://a.invalid/\">link</a>"
        u"<img src=\"/etc/hostname\"></html>";
    struct Case {
        const char* pszWhat;
        std::u16string text;
    } cases[] = {
        {"an HTML reply", MatchReply(html).strMessage},
        {"a 60 KB reply", MatchReply(std::u16string(60000, u'A')).strMessage},
        {"a 60 KB text without a cut", std::u16string(60000, u'W')},
        {"thousands of lines", strManyLines},
    };
    for (const Case& c : cases) {
        const CShownBox shown = ShowAndRead(c.text);
        EXPECT_EQ(shown.eFormat, Qt::PlainText) << c.pszWhat;
        EXPECT_TRUE(rcScreen.contains(shown.rcFrame))
            << c.pszWhat << ": " << shown.rcFrame.width() << "x" << shown.rcFrame.height() << " on "
            << rcScreen.width() << "x" << rcScreen.height();
    }
    // The markup is shown as it came.
    EXPECT_TRUE(ShowAndRead(MatchReply(html).strMessage).strText.contains(QStringLiteral("<h1>Portal</h1>")));
}
