// Life of the tray controller: creation, destruction, the timers and exit.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "resources/ResourceIds.h"
#include "tray/RegisterDecision.h"
#include "tray/TrayHostWatcher.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QTimerEvent>

namespace {
constexpr int kFirstTimerId = kTimerClick;

bool IsOwnTimerId(int nId) {
    return nId >= kTimerClick && nId <= kTimerDrain;
}
} // namespace

CKIVODialerWnd::CKIVODialerWnd(CKIVODialerApp& app)
    : m_app(app), m_history(app.m_platform.profile, app.m_platform.clock) {
    m_app.m_pDialDlg = nullptr;
    m_app.m_pCdrDlg = nullptr;
}

CKIVODialerWnd::~CKIVODialerWnd() {
    // A controller that was never closed still joins its worker and keeps the calls.
    if (m_bCreated)
        DestroyWindow();
}

bool CKIVODialerWnd::CreateMainWindow() {
    return OnCreate() == 0;
}

int CKIVODialerWnd::OnCreate() {
    if (m_bCreated)
        return -1;
    m_bCreated = true;

    CreateMenus();
    m_bMenuOnLeftClick = HostDrawsMenuOnLeftClick(qgetenv("XDG_CURRENT_DESKTOP").toStdString());
    m_pTrayHost = std::make_unique<CTrayHostWatcher>();
    connect(m_pTrayHost.get(), &CTrayHostWatcher::TrayHostAppeared, this, &CKIVODialerWnd::OnTaskbarCreated);
    // The icon is gone from every StatusNotifierItem host: wait for a tray as at the start.
    connect(m_pTrayHost.get(), &CTrayHostWatcher::StatusNotifierWatcherLost, this, [this] {
        if (!m_trayRetry.isActive())
            m_trayRetry.start(kTrayRetryMs, this);
    });

    const std::u16string strTip = LoginTip(m_app.m_strProductName, false);
    UpdateTrayIcon(NIM_ADD, ETrayIcon::Logout, &strTip);

    LoadHistory();
    m_nRetry = 0;
    SetTimer(kTimerRegister, kRegisterFirstDelayMs);

    m_queue.ClearMsg();
    m_terminal.SetStopping(false);
    StartTerminal();

    if (auto* pGuiApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(pGuiApp, &QGuiApplication::commitDataRequest, this, &CKIVODialerWnd::OnQueryEndSession,
                Qt::DirectConnection);
    m_pTrayHost->Start();
    return 0;
}

void CKIVODialerWnd::DestroyWindow() {
    if (!m_bCreated || m_bDestroyed)
        return;
    m_bDestroyed = true;
    OnDestroy();
    emit Destroyed();
    QCoreApplication::quit();
}

void CKIVODialerWnd::OnDestroy() {
    StopTerminal(true);
    SaveHistory();
    // A destroyed window has no timers left.
    for (int nId = kTimerClick; nId <= kTimerDrain; ++nId)
        KillTimer(nId);
    m_trayRetry.stop();
    if (m_pTrayHost)
        m_pTrayHost->Stop();
    UpdateTrayIcon(NIM_DELETE, ETrayIcon::None, nullptr);
}

void CKIVODialerWnd::OnExit() {
    constexpr std::u16string_view kQuestion = u"終了します。よろしいですか？";
    // The question is asked once: choosing exit again while it is open only brings it to the front.
    if (m_app.m_platform.messageBox.ActivateOpenBox(kQuestion, m_app.m_strProductName))
        return;
    const int nAnswer =
        m_app.m_platform.messageBox.MessageBox(kQuestion, m_app.m_strProductName, MB_YESNO | MB_ICONQUESTION);
    if (nAnswer == IDYES)
        PostMessage(&CKIVODialerWnd::DestroyWindow);
}

void CKIVODialerWnd::SetTimer(int nId, int nPeriodMs) {
    if (!IsOwnTimerId(nId))
        return;
    m_timers[nId - kFirstTimerId].start(nPeriodMs, this);
    m_nPeriods[nId - kFirstTimerId] = nPeriodMs;
}

void CKIVODialerWnd::KillTimer(int nId) {
    if (!IsOwnTimerId(nId))
        return;
    m_timers[nId - kFirstTimerId].stop();
    m_nPeriods[nId - kFirstTimerId] = 0;
}

int CKIVODialerWnd::GetTimerPeriod(int nId) const {
    if (!IsOwnTimerId(nId) || !m_timers[nId - kFirstTimerId].isActive())
        return 0;
    return m_nPeriods[nId - kFirstTimerId];
}

void CKIVODialerWnd::timerEvent(QTimerEvent* pEvent) {
    if (pEvent->timerId() == m_trayRetry.timerId()) {
        ShowIconWhenTrayExists();
        return;
    }
    for (int nId = kTimerClick; nId <= kTimerDrain; ++nId) {
        if (pEvent->timerId() == m_timers[nId - kFirstTimerId].timerId()) {
            OnTimer(nId);
            return;
        }
    }
    QObject::timerEvent(pEvent);
}

void CKIVODialerWnd::OnTimer(int nId) {
    switch (nId) {
    case kTimerClick:
        KillTimer(kTimerClick);
        ShowLeftClickMenu();
        break;
    case kTimerRegister:
        // The expiry itself leaves the timer running; Register sets its next period.
        if (!m_bHoldRegister)
            Register();
        break;
    case kTimerDrain:
        OnDrainTimer();
        break;
    default:
        break;
    }
}

void CKIVODialerWnd::PostMessage(void (CKIVODialerWnd::*pHandler)()) {
    QMetaObject::invokeMethod(this, pHandler, Qt::QueuedConnection);
}
