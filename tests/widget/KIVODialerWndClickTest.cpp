// Mouse on the tray icon as Qt reports it, through the Qt desktop to the controller and back to the real
// menus: a click opens the left-click menu after 200 ms, a double click runs its action and opens none, a
// right click opens the right-click menu at once. The controller's decisions for every sequence of host
// events are tested in the unit tests (TrayControllerTest).
#include "tests/support/TrayFixture.h"

#include <QAction>
#include <QMenu>

namespace {
class ClickTest : public TrayFixture {
protected:
    void Activate(ETrayHostEvent event) {
        emit m_pWnd->TrayIcon()->HostEvent(event, QPoint());
        DeliverPosted();
    }
    // What the click timer does when it expires.
    void ExpireClick() {
        ASSERT_EQ(m_pWnd->GetTimerPeriod(kTimerClick), 200);
        m_pWnd->OnTimer(kTimerClick);
    }
    bool LeftMenuShown() {
        const bool bShown = m_pWnd->LeftClickMenu()->isVisible();
        m_pWnd->LeftClickMenu()->hide();
        return bShown;
    }

    static std::vector<std::pair<int, QString>> Items(QMenu* pMenu) {
        std::vector<std::pair<int, QString>> items;
        for (QAction* pAction : pMenu->actions())
            items.emplace_back(pAction->data().toInt(), pAction->text());
        return items;
    }
};
} // namespace

TEST_F(ClickTest, MenusHoldTheirCommandsInOrder) {
    Create();
    EXPECT_EQ(Items(m_pWnd->LeftClickMenu()), (std::vector<std::pair<int, QString>>{
                                                  {32772, "ダイヤル(&D)"},
                                                  {32776, "発着信履歴(&C)"},
                                                  {32781, "KIVO-PBX Manager(&M)"},
                                                  {32788, "PBXのアドレス帳を開く(&O)"},
                                                  {32801, "PBXの通話履歴を開く(&R)"},
                                              }));
    EXPECT_EQ(Items(m_pWnd->RightClickMenu()), (std::vector<std::pair<int, QString>>{
                                                   {32779, "環境設定(&S)"},
                                                   {57664, "バージョン情報(&A)"},
                                                   {57665, "終了(&X)"},
                                               }));
}

TEST_F(ClickTest, ClickDoubleClickClick) {
    Create();
    Activate(ETrayHostEvent::Trigger);
    EXPECT_FALSE(LeftMenuShown()) << "the menu waits for the click timer";
    ExpireClick();
    EXPECT_TRUE(LeftMenuShown());
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerClick), 0);

    // A double click on the XEmbed tray arrives as Trigger, then DoubleClick.
    Activate(ETrayHostEvent::Trigger);
    Activate(ETrayHostEvent::DoubleClick);
    EXPECT_EQ(m_pWnd->m_commands, std::vector<int>{ID_DIAL});
    EXPECT_TRUE(m_pWnd->m_bDblClick);
    ExpireClick(); // armed again by the release that ends the double click
    EXPECT_FALSE(LeftMenuShown());
    EXPECT_FALSE(m_pWnd->m_bDblClick);

    Activate(ETrayHostEvent::Trigger);
    ExpireClick();
    EXPECT_TRUE(LeftMenuShown()) << "the next single click opens the menu again";
}

TEST_F(ClickTest, RightClickOpensItsMenuAtOnce) {
    Create();
    Activate(ETrayHostEvent::Context);
    EXPECT_TRUE(m_pWnd->RightClickMenu()->isVisible());
    EXPECT_EQ(m_pWnd->GetTimerPeriod(kTimerClick), 0);
    m_pWnd->RightClickMenu()->hide();
}

TEST_F(ClickTest, ChosenItemsArriveAsCommands) {
    Create();
    for (QMenu* pMenu : {m_pWnd->LeftClickMenu(), m_pWnd->RightClickMenu()})
        for (QAction* pAction : pMenu->actions())
            if (pAction->data().toInt() != ID_APP_EXIT && pAction->data().toInt() != ID_SETTINGS)
                pAction->trigger();
    EXPECT_TRUE(m_pWnd->m_commands.empty()) << "commands are posted, as a menu's choice is";
    DeliverPosted();
    EXPECT_EQ(m_pWnd->m_commands, (std::vector<int>{ID_DIAL, ID_CALL_HISTORY, ID_APP_ABOUT}));
}
