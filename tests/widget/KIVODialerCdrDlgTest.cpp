// The call history window against a real application object and a loopback exchange.
#include "ui/KIVODialerCdrDlg.h"

#include "platform/qt/DialogBuilder.h"
#include "resources/ResourceIds.h"
#include "tests/widget/AppFixture.h"
#include "ui/CdrWindowRect.h"
#include "ui/DstHistory.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTableWidget>

#include <memory>

namespace {

class CdrDlg : public AppFixture {
protected:
    void SetUp() override { QApplication::clipboard()->clear(); }

    void AddRecords(std::initializer_list<CdrRecord> records) {
        for (const CdrRecord& rec : records)
            m_mainWnd.m_records.push_back(rec);
    }
    std::unique_ptr<CKIVODialerCdrDlg> Open() {
        auto pDlg = std::make_unique<CKIVODialerCdrDlg>(m_app);
        pDlg->show();
        pDlg->activateWindow();
        QApplication::processEvents();
        return pDlg;
    }
    static QStringList Row(const QTableWidget& list, int nRow) {
        QStringList cells;
        for (int i = 0; i < list.columnCount(); ++i)
            cells << list.item(nRow, i)->text();
        return cells;
    }
    static void SendMouse(QWidget* pViewport, QEvent::Type type, QPoint pos) {
        QMouseEvent event(type, pos, pViewport->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(pViewport, &event);
    }
    // A real click, then a double click, on the row's number cell.
    static void DoubleClickRow(QTableWidget& list, int nRow) {
        const QPoint pos = list.visualRect(list.model()->index(nRow, 2)).center();
        QWidget* pViewport = list.viewport();
        SendMouse(pViewport, QEvent::MouseButtonPress, pos);
        SendMouse(pViewport, QEvent::MouseButtonRelease, pos);
        SendMouse(pViewport, QEvent::MouseButtonDblClick, pos);
        SendMouse(pViewport, QEvent::MouseButtonRelease, pos);
    }
    static void CtrlC(QWidget& target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
        QApplication::sendEvent(&target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
        QApplication::sendEvent(&target, &release);
    }
    void StoreRect(int left, int top, int right, int bottom) {
        m_profile.WriteProfileInt(kSectionCdrRect, u"left", left);
        m_profile.WriteProfileInt(kSectionCdrRect, u"top", top);
        m_profile.WriteProfileInt(kSectionCdrRect, u"right", right);
        m_profile.WriteProfileInt(kSectionCdrRect, u"bottom", bottom);
    }
    static QSize Screen() { return QGuiApplication::primaryScreen()->geometry().size(); }

    const CdrRecord m_recA{u"0311111111", u"", u"2024/01/30 08:00:00", 0};
    const CdrRecord m_recB{u"0322222222", u"山田", u"2024/01/30 09:00:00", 1};
    const CdrRecord m_recC{u"0333333333", u"", u"2024/01/31 10:00:00", 1};
};

} // namespace

TEST_F(CdrDlg, RowsAreNewestFirstWithTheKindOfEachCall) {
    AddRecords({m_recA, m_recB, m_recC, {u"0344444444", u"", u"2024/01/31 11:00:00", 7}});
    auto pDlg = Open();
    QTableWidget& list = *pDlg->m_list;
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(Row(list, 0), (QStringList{"着信", "2024/01/31 11:00:00", "0344444444", ""}));
    EXPECT_EQ(Row(list, 1), (QStringList{"着信", "2024/01/31 10:00:00", "0333333333", ""}));
    EXPECT_EQ(Row(list, 2), (QStringList{"着信", "2024/01/30 09:00:00", "0322222222", "山田"}));
    EXPECT_EQ(Row(list, 3), (QStringList{"発信", "2024/01/30 08:00:00", "0311111111", ""}));
    EXPECT_EQ(pDlg->windowTitle(), QStringLiteral("発着信履歴"));

    // A record added while the window is hidden shows on top when it is shown again.
    pDlg->reject();
    m_mainWnd.AddRecord(u"0355555555", u"", 0);
    pDlg->RefreshList();
    pDlg->show();
    EXPECT_EQ(list.item(0, 2)->text(), QStringLiteral("0355555555"));
    EXPECT_EQ(list.rowCount(), 5);
}

// The window listens to the history: a call placed or received while it exists shows without anyone
// asking it to refresh, and a closed (deleted) window is no longer told.
TEST_F(CdrDlg, ARecordAddedWhileTheWindowExistsShowsAtOnce) {
    AddRecords({m_recA});
    auto pDlg = Open();
    m_mainWnd.AddRecord(u"0355555555", u"", kCdrModePlaced);
    ASSERT_EQ(pDlg->m_list->rowCount(), 2);
    EXPECT_EQ(pDlg->m_list->item(0, 2)->text(), QStringLiteral("0355555555"));
    pDlg->reject();
    m_mainWnd.AddRecord(u"0366666666", u"", kCdrModeReceived);
    EXPECT_EQ(pDlg->m_list->item(0, 2)->text(), QStringLiteral("0366666666")) << "hidden, it still follows";

    pDlg.reset();
    EXPECT_TRUE(m_mainWnd.m_listeners.empty());
    EXPECT_TRUE(m_mainWnd.AddRecord(u"0377777777", u"", kCdrModePlaced));
}

TEST_F(CdrDlg, ReportListLooksAndBehavesAsAListView) {
    auto pDlg = Open();
    QTableWidget& list = *pDlg->m_list;
    ASSERT_EQ(list.columnCount(), 4);
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << list.horizontalHeaderItem(i)->text();
    EXPECT_EQ(titles, (QStringList{"種別", "時間", "番号", "名前"}));
    const QFontMetrics fm = list.fontMetrics();
    EXPECT_EQ(list.columnWidth(0), fm.horizontalAdvance(QStringLiteral("発信XXX")));
    EXPECT_EQ(list.columnWidth(1), fm.horizontalAdvance(QStringLiteral("0000/00/00X00:00:00XXX")));
    EXPECT_EQ(list.columnWidth(2), fm.horizontalAdvance(QStringLiteral("00000000000XXX")));
    const int nFixed = list.columnWidth(0) + list.columnWidth(1) + list.columnWidth(2);
    EXPECT_EQ(list.columnWidth(3), pDlg->width() - nFixed - 20); // after the first size change
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list.horizontalHeader()->isEnabled());
    EXPECT_EQ(list.geometry(), QRect(QPoint(0, 0), pDlg->size()));

    pDlg->resize(pDlg->width() + 100, pDlg->height() + 40);
    EXPECT_EQ(list.columnWidth(3), pDlg->width() - nFixed - 20);
    EXPECT_EQ(list.geometry(), QRect(QPoint(0, 0), pDlg->size()));
}

TEST_F(CdrDlg, CtrlCCopiesTheSelectedRowTabJoined) {
    AddRecords({m_recA, m_recC});
    auto pDlg = Open();
    QTableWidget& list = *pDlg->m_list;
    list.setFocus();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    CtrlC(list);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")); // nothing selected

    list.selectRow(0);
    CtrlC(list);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("着信\t2024/01/31 10:00:00\t0333333333\t"));
    list.selectRow(1);
    CtrlC(list);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("発信\t2024/01/30 08:00:00\t0311111111\t"));
}

TEST_F(CdrDlg, DoubleClickAsksAndCallsTheNumberBackUnchanged) {
    AddRecords({{u"03-1111-1111", u"", u"2024/01/30 08:00:00", 1}, m_recB});
    auto pDlg = Open();
    QTableWidget& list = *pDlg->m_list;

    m_messageBox.m_answers = {IDNO};
    DoubleClickRow(list, 1);
    ASSERT_EQ(m_messageBox.m_boxes.size(), 1u);
    EXPECT_EQ(m_messageBox.m_boxes[0].strText, u"03-1111-1111\nに発信しますか？");
    EXPECT_EQ(m_messageBox.m_boxes[0].strCaption, u"確認");
    EXPECT_EQ(m_messageBox.m_boxes[0].nType, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_TRUE(m_server.Requests().empty());

    m_messageBox.m_answers = {IDYES};
    DoubleClickRow(list, 0);
    ASSERT_EQ(m_messageBox.m_boxes.size(), 3u);
    EXPECT_EQ(m_messageBox.m_boxes[1].strText, u"0322222222(山田)\nに発信しますか？");
    EXPECT_EQ(DialedNumbers(), std::vector<std::string>{"0322222222"});
    EXPECT_EQ(m_messageBox.m_boxes[2].strText, u"発信しました。しばらくお待ち下さい。");
    EXPECT_EQ(m_messageBox.m_boxes[2].strCaption, u"KIVODialer");
    EXPECT_EQ(m_messageBox.m_boxes[2].nType & MB_ICONMASK, MB_ICONINFORMATION);

    m_server.SetReply("Call_NG");
    m_messageBox.m_answers = {IDYES};
    DoubleClickRow(list, 1);
    EXPECT_EQ(DialedNumbers().back(), "03-1111-1111"); // neither trimmed nor filtered
    EXPECT_EQ(m_messageBox.m_boxes.back().nType & MB_ICONMASK, MB_ICONEXCLAMATION);
    // A call back is recorded in neither history.
    EXPECT_EQ(m_mainWnd.m_records.size(), 2u);
    EXPECT_FALSE(m_profile.Has(kSectionDstNo, u"list1"));
}

TEST_F(CdrDlg, SavedRectangleIsRestoredInsideTheScreen) {
    const QSize screen = Screen();
    StoreRect(screen.width() - 100, 100, screen.width() + 500, 400);
    {
        auto pDlg = std::make_unique<CKIVODialerCdrDlg>(m_app);
        EXPECT_TRUE(pDlg->isVisible()); // restoring shows it
        EXPECT_EQ(pDlg->geometry(), QRect(screen.width() - 600, 100, 600, 300));
        pDlg->setGeometry(pDlg->geometry().x() - 10, 120, 600, 300);
        m_profile.m_nFlushes = 0;
    }
    // Saved at destruction.
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"left", 0), screen.width() - 610);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"top", 0), 120);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"right", 0), screen.width() - 10);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"bottom", 0), 420);
    EXPECT_EQ(m_profile.m_nFlushes, 1);
}

TEST_F(CdrDlg, OnWaylandTheRectangleIsNeitherRestoredNorSaved) {
    // There every window reads as placed at 0,0: saving that would lose the X11 rectangle.
    StoreRect(100, 100, 700, 400);
    {
        CKIVODialerCdrDlg dlg(m_app, EDisplayKind::Wayland);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_NE(dlg.geometry(), QRect(100, 100, 600, 300));
    }
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"left", 0), 100);
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"bottom", 0), 400);
    // Under Xwayland the X server's coordinates hold, as on X11.
    {
        CKIVODialerCdrDlg dlg(m_app, EDisplayKind::Xwayland);
        EXPECT_EQ(dlg.geometry(), QRect(100, 100, 600, 300));
        dlg.setGeometry(120, 100, 600, 300);
    }
    EXPECT_EQ(m_profile.GetProfileInt(kSectionCdrRect, u"left", 0), 120);
}

TEST_F(CdrDlg, ARectangleWithAZeroLeavesTheWindowCentredAtItsTemplateSize) {
    StoreRect(0, 100, 600, 400);
    CKIVODialerCdrDlg centred(m_app);
    EXPECT_FALSE(centred.isVisible());
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NE(centred.size(), QSize(600, 300));
    EXPECT_LE(std::abs(centred.geometry().center().x() - work.center().x()), 1);
    EXPECT_LE(std::abs(centred.geometry().center().y() - work.center().y()), 1);
}

TEST_F(CdrDlg, CloseAndEnterHideTheWindowWithoutDestroyingIt) {
    AddRecords({m_recA});
    auto pDlg = Open();
    pDlg->close();
    EXPECT_FALSE(pDlg->isVisible());
    EXPECT_EQ(pDlg->m_list->rowCount(), 1);
    pDlg->show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(pDlg->m_list, &enter);
    EXPECT_FALSE(pDlg->isVisible());
}

// A record of a number with a right-to-left override: the cell shows the override as "?", so the number
// reads as it will be dialled; calling back sends the number as it was received.
TEST_F(CdrDlg, InvisibleFormatCharactersShowAsQuestionMarks) {
    AddRecords({{u"\u202E0110-999-990", u"Bank\u200B", u"2024/01/31 10:00:00", 1}});
    auto pDlg = Open();
    QTableWidget& list = *pDlg->m_list;
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(Row(list, 0), (QStringList{"着信", "2024/01/31 10:00:00", "?0110-999-990", "Bank?"}));
    m_messageBox.m_answers = {IDYES};
    DoubleClickRow(list, 0);
    ASSERT_FALSE(m_messageBox.m_boxes.empty());
    EXPECT_EQ(m_messageBox.m_boxes[0].strText, u"?0110-999-990(Bank?)\nに発信しますか？");
    EXPECT_EQ(DialedNumbers(), std::vector<std::string>{"%E2%80%AE0110-999-990"});
}
