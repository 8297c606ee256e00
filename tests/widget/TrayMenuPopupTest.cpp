// A tray menu on each kind of display: a popup at the cursor on X11, a small window of its own on
// Wayland and Xwayland that closes as a popup menu does.
#include "tray/TrayMenuPopup.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <vector>

namespace {

class TrayMenuPopupTest : public testing::TestWithParam<EDisplayKind> {
protected:
    TrayMenuPopupTest() {
        m_menu.setTitle(QStringLiteral("トレイ右クリック"));
        m_pFirst = m_menu.addAction(QStringLiteral("環境設定(&S)"));
        m_menu.addAction(QStringLiteral("終了(&X)"));
    }
    ~TrayMenuPopupTest() override { m_menu.hide(); }

    void Popup() {
        CTrayMenuPopup::Popup(m_menu, GetParam());
        QApplication::processEvents();
    }
    void Send(QEvent::Type type, QPoint pos) {
        QMouseEvent event(type, pos, m_menu.mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&m_menu, &event);
    }

    QMenu m_menu;
    QAction* m_pFirst = nullptr;
};

} // namespace

TEST(TrayMenuPopup, OnX11TheMenuPopsUp) {
    QMenu menu;
    menu.addAction(QStringLiteral("ダイヤル(&D)"));
    CTrayMenuPopup::Popup(menu, EDisplayKind::X11);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.windowType(), Qt::Popup);
    menu.hide();
}

TEST_P(TrayMenuPopupTest, IsAFixedSizeToolWindowNamedAfterTheMenu) {
    Popup();
    ASSERT_TRUE(m_menu.isVisible());
    EXPECT_EQ(m_menu.windowType(), Qt::Tool);
    EXPECT_EQ(m_menu.windowTitle(), QStringLiteral("トレイ右クリック"));
    EXPECT_EQ(m_menu.minimumSize(), m_menu.maximumSize());
    EXPECT_EQ(m_menu.size(), m_menu.sizeHint());
    // Shown again, it is the same window with one filter.
    m_menu.hide();
    Popup();
    EXPECT_TRUE(m_menu.isVisible());
    EXPECT_EQ(m_menu.findChildren<CTrayMenuPopup*>().size(), 1);
}

TEST_P(TrayMenuPopupTest, ClosesOnEscapeAndOnLosingTheActivation) {
    Popup();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&m_menu, &escape);
    EXPECT_FALSE(m_menu.isVisible()) << "Escape";

    Popup();
    ASSERT_TRUE(m_menu.isVisible());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&m_menu, &deactivate);
    EXPECT_FALSE(m_menu.isVisible()) << "a click elsewhere";
}

TEST_P(TrayMenuPopupTest, AClickOnAnItemChoosesItAndCloses) {
    Popup();
    std::vector<QAction*> chosen;
    QObject::connect(&m_menu, &QMenu::triggered, [&chosen](QAction* pAction) { chosen.push_back(pAction); });
    const QPoint pos = m_menu.actionGeometry(m_pFirst).center();
    Send(QEvent::MouseMove, pos);
    Send(QEvent::MouseButtonPress, pos);
    Send(QEvent::MouseButtonRelease, pos);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen.front(), m_pFirst);
    EXPECT_FALSE(m_menu.isVisible());

    // A mnemonic key chooses as well.
    Popup();
    QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&m_menu, &x);
    EXPECT_EQ(chosen.size(), 2u);
    EXPECT_FALSE(m_menu.isVisible());
}

INSTANTIATE_TEST_SUITE_P(WaylandAndXwayland, TrayMenuPopupTest,
                         testing::Values(EDisplayKind::Wayland, EDisplayKind::Xwayland));
