// The Qt desktop of the tray controller: timers by id through the event loop, setting an id again
// replacing its period; posted messages delivered in order once the loop runs; nothing delivered to a
// controller that has gone.
#include "tray/QtTrayShell.h"

#include "tests/widget/AppFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <vector>

namespace {

class CRecordingEvents : public ITrayEvents {
public:
    void OnTimer(int nId) override { m_timers.push_back(nId); }
    void OnTrayHostEvent(ETrayHostEvent) override {}
    void OnTrayNotify(unsigned, unsigned) override {}
    void OnCommand(int nId) override { m_commands.push_back(nId); }
    void OnPosted(ETrayPost post) override { m_posted.push_back(post); }
    void OnTaskbarCreated() override {}
    void OnTrayHostLost() override {}
    bool OnQueryEndSession() override { return true; }

    std::vector<int> m_timers;
    std::vector<int> m_commands;
    std::vector<ETrayPost> m_posted;
};

class QtTrayShellTest : public AppFixture {
protected:
    void RunLoopFor(int nMs) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < nMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    CQtTrayShell m_shell{m_app};
    CRecordingEvents m_events;
};

} // namespace

TEST_F(QtTrayShellTest, TimersFireByIdAndSettingAnIdAgainReplacesItsPeriod) {
    m_shell.Attach(&m_events);
    m_shell.SetTimer(4, 30);
    m_shell.SetTimer(6, 5000);
    m_shell.SetTimer(6, 30); // replaces the 5 s
    m_shell.SetTimer(5, 30);
    m_shell.KillTimer(5);
    RunLoopFor(100);
    m_shell.KillTimer(4);
    m_shell.KillTimer(6);
    int nFours = 0, nSixes = 0;
    for (int nId : m_events.m_timers) {
        nFours += nId == 4;
        nSixes += nId == 6;
        EXPECT_TRUE(nId == 4 || nId == 6) << nId;
    }
    EXPECT_GE(nFours, 1);
    EXPECT_GE(nSixes, 1);
    m_events.m_timers.clear();
    RunLoopFor(60);
    EXPECT_TRUE(m_events.m_timers.empty()) << "killed timers stay quiet";
}

TEST_F(QtTrayShellTest, PostedMessagesArriveInOrderOnlyWhileAttached) {
    m_shell.Attach(&m_events);
    m_shell.PostToSelf(ETrayPost::LButtonUp);
    m_shell.PostToSelf(ETrayPost::Close);
    EXPECT_TRUE(m_events.m_posted.empty()) << "posted, not sent";
    QCoreApplication::processEvents();
    EXPECT_EQ(m_events.m_posted, (std::vector<ETrayPost>{ETrayPost::LButtonUp, ETrayPost::Close}));

    m_shell.PostToSelf(ETrayPost::RButtonUp);
    m_shell.SetTimer(4, 1);
    m_shell.Attach(nullptr);
    RunLoopFor(30);
    EXPECT_EQ(m_events.m_posted.size(), 2u);
    EXPECT_TRUE(m_events.m_timers.empty());
    m_shell.KillTimer(4);
}
