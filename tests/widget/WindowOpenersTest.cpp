// Opening the windows for the tray commands: each at most once, brought to the front when open.
#include "ui/WindowOpeners.h"

#include "app/AboutDlg.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/ResourceIds.h"
#include "tests/widget/AppFixture.h"
#include "ui/ConfigDlg.h"
#include "ui/KIVODialerCdrDlg.h"
#include "ui/KIVODialerDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPixmapCache>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>

#include <functional>

namespace {

class WindowOpeners : public AppFixture {
protected:
    ~WindowOpeners() override { DestroyCallingWindows(m_app); }
};

// The modal dialog of this type that is open now, or null.
template <class T> T* OpenModal() {
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pDlg = qobject_cast<T*>(pWidget); pDlg && pDlg->isVisible())
            return pDlg;
    return nullptr;
}

template <class T> int CountVisible() {
    int n = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        n += qobject_cast<T*>(pWidget) && pWidget->isVisible();
    return n;
}

} // namespace

TEST_F(WindowOpeners, DialDialogIsReplacedAfterItWasClosed) {
    QApplication::clipboard()->setText(QStringLiteral("0311111111"));
    OpenDialDlg(m_app);
    QPointer<CKIVODialerDlg> pFirst = m_app.m_pDialDlg;
    ASSERT_TRUE(pFirst);
    EXPECT_TRUE(pFirst->isVisible());

    OpenDialDlg(m_app); // open: the same dialog
    EXPECT_EQ(m_app.m_pDialDlg, pFirst.data());

    pFirst->reject(); // closed: the dialog and its window are given up
    EXPECT_EQ(m_app.m_pDialDlg, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pFirst.isNull());
    QApplication::clipboard()->setText(QStringLiteral("0322222222"));
    OpenDialDlg(m_app); // a new dialog that reads the clipboard again
    ASSERT_NE(m_app.m_pDialDlg, nullptr);
    EXPECT_TRUE(m_app.m_pDialDlg->isVisible());
    EXPECT_EQ(m_app.m_pDialDlg->m_cbDst->currentText(), QStringLiteral("0322222222"));
}

TEST_F(WindowOpeners, CallHistoryWindowIsShownAgainInsideTheScreenAndOnTop) {
    m_mainWnd.AddRecord(u"0311111111", u"", 0);
    OpenCdrDlg(m_app);
    QPointer<CKIVODialerCdrDlg> pFirst = m_app.m_pCdrDlg;
    ASSERT_TRUE(pFirst);
    EXPECT_TRUE(pFirst->isVisible());

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    pFirst->move(screen.width() - 50, 40); // partly off the screen, as after a smaller screen
    const QSize size = pFirst->frameGeometry().size();
    pFirst->reject();
    ASSERT_FALSE(pFirst->isVisible());

    OpenCdrDlg(m_app);
    EXPECT_EQ(m_app.m_pCdrDlg, pFirst.data());
    EXPECT_TRUE(pFirst->isVisible());
    EXPECT_EQ(pFirst->frameGeometry(), QRect(QPoint(screen.width() - size.width(), 40), size));
    EXPECT_TRUE(pFirst->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(pFirst->m_list->rowCount(), 1);
}

TEST_F(WindowOpeners, SettingsRunOnceAndTellWhetherOkClosedThem) {
    bool bSecond = true;
    bool bOpenInside = false;
    QTimer::singleShot(0, [&] {
        bOpenInside = IsConfigDlgOpen();
        bSecond = RunConfigDlg(m_app); // only brings the open one to the front
        EXPECT_EQ(CountVisible<CConfigDlg>(), 1);
        GetDlgItem<QPushButton>(*OpenModal<CConfigDlg>(), IDOK)->click();
    });
    EXPECT_TRUE(RunConfigDlg(m_app));
    EXPECT_TRUE(bOpenInside);
    EXPECT_FALSE(bSecond);
    EXPECT_FALSE(IsConfigDlgOpen());
    EXPECT_EQ(m_profile.m_nFlushes, 1);

    QTimer::singleShot(0, [] { GetDlgItem<QPushButton>(*OpenModal<CConfigDlg>(), IDCANCEL)->click(); });
    EXPECT_FALSE(RunConfigDlg(m_app));
}

TEST_F(WindowOpeners, AboutBoxRunsOnce) {
    int nOpen = 0;
    QTimer::singleShot(0, [&] {
        RunAboutDlg(m_app); // returns at once: the box is already open
        nOpen = CountVisible<CAboutDlg>();
        OpenModal<CAboutDlg>()->accept();
    });
    RunAboutDlg(m_app);
    EXPECT_EQ(nOpen, 1);
}

TEST_F(WindowOpeners, ClosedWindowsLeaveNoRenderingsInThePixmapCache) {
    const QString strKey = QStringLiteral("a rendering for a window now closed");
    const auto bCachedAfter = [&](const std::function<void()>& fnWindows) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        QPixmapCache::insert(strKey, pixmap);
        fnWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QPixmap found;
        return QPixmapCache::find(strKey, &found);
    };
    EXPECT_FALSE(bCachedAfter([&] {
        OpenDialDlg(m_app);
        m_app.m_pDialDlg->reject(); // given up
    }));
    EXPECT_FALSE(bCachedAfter([&] {
        OpenCdrDlg(m_app);
        m_app.m_pCdrDlg->reject(); // kept for the next open
    }));
    EXPECT_FALSE(bCachedAfter([&] {
        QTimer::singleShot(0, [] { OpenModal<CAboutDlg>()->accept(); });
        RunAboutDlg(m_app); // a modal dialog ended
    }));
    EXPECT_TRUE(bCachedAfter([&] { OpenCdrDlg(m_app); })) << "nothing closed, nothing dropped";
}
