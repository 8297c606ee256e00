// The about box: product line, version line from the project version, icon and maker line.
#include "app/AboutDlg.h"

#include "app/AboutVersion.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/ResourceIds.h"
#include "tests/widget/AppFixture.h"

#include <QLabel>
#include <QPushButton>

using AboutDlg = AppFixture;

TEST_F(AboutDlg, ShowsProductEditionAndTheShortenedVersion) {
    m_app.m_strEdition = u"Standard";
    CAboutDlg dlg(m_app);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(GetDlgItem<QLabel>(dlg, IDC_PRODUCT)->text(), QStringLiteral("KIVODialer Standard"));
    const QString strVersion = GetDlgItem<QLabel>(dlg, IDC_VERSION)->text();
    EXPECT_EQ(strVersion, QString::fromStdU16String(AboutVersionLine(U16(KIVO_VERSION))));
    EXPECT_TRUE(strVersion.startsWith(QStringLiteral("Version ")));
    EXPECT_EQ(strVersion.count(u'.'), QString(KIVO_VERSION).count(u'.') - 1);

    QStringList texts;
    bool bIcon = false;
    for (const QLabel* pLabel : dlg.findChildren<QLabel*>()) {
        texts << pLabel->text();
        bIcon = bIcon || !pLabel->pixmap().isNull();
    }
    EXPECT_TRUE(bIcon);
    EXPECT_TRUE(texts.contains(QStringLiteral("Copyright (C) Selvane-Works")));

    GetDlgItem<QPushButton>(dlg, IDOK)->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}
