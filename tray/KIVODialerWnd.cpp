// Life of the tray controller: creation, destruction, the timers and exit.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "resources/ResourceIds.h"
#include "tray/RegisterDecision.h"

namespace {
constexpr int kFirstTimerId = kTimerClick;

bool IsOwnTimerId(int nId) {
    return nId >= kTimerClick && nId <= kTimerTrayRetry;
}
} // namespace

CKIVODialerWnd::CKIVODialerWnd(CKIVODialerApp& app, ITrayShell& shell)
    : m_app(app), m_shell(shell), m_history(app.m_platform.profile, app.m_platform.clock) {
    m_app.m_pDialDlg = nullptr;
    m_app.m_pCdrDlg = nullptr;
}

CKIVODialerWnd::~CKIVODialerWnd() {
    // A controller that was never closed still joins its worker and keeps the calls.
    if (m_bCreated)
        DestroyWindow();
    m_shell.Attach(nullptr);
}

bool CKIVODialerWnd::CreateMainWindow() {
    return OnCreate() == 0;
}

int CKIVODialerWnd::OnCreate() {
    if (m_bCreated)
        return -1;
    m_bCreated = true;
    m_shell.Attach(this);

    const std::u16string strTip = LoginTip(m_app.m_strProductName, false);
    UpdateTrayIcon(NIM_ADD, ETrayIcon::Logout, &strTip);

    LoadHistory();
    m_nRetry = 0;
    SetTimer(kTimerRegister, kRegisterFirstDelayMs);

    m_queue.ClearMsg();
    m_terminal.SetStopping(false);
    StartTerminal();

    m_shell.WatchTrayHosts(true);
    return 0;
}

void CKIVODialerWnd::DestroyWindow() {
    if (!m_bCreated || m_bDestroyed)
        return;
    m_bDestroyed = true;
    OnDestroy();
    m_shell.EndMessageLoop();
}

void CKIVODialerWnd::OnDestroy() {
    StopTerminal(true);
    SaveHistory();
    // A destroyed window has no timers left.
    for (int nId = kTimerClick; nId <= kTimerTrayRetry; ++nId)
        KillTimer(nId);
    m_shell.WatchTrayHosts(false);
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
        m_shell.PostToSelf(ETrayPost::Close);
}

void CKIVODialerWnd::OnPosted(ETrayPost post) {
    switch (post) {
    case ETrayPost::LButtonUp:
        OnLButtonUp();
        break;
    case ETrayPost::LButtonDblClk:
        OnLButtonDblClk();
        break;
    case ETrayPost::RButtonUp:
        OnRButtonUp();
        break;
    case ETrayPost::Close:
        DestroyWindow();
        break;
    }
}

void CKIVODialerWnd::SetTimer(int nId, int nPeriodMs) {
    if (!IsOwnTimerId(nId))
        return;
    m_shell.SetTimer(nId, nPeriodMs);
    m_nPeriods[nId - kFirstTimerId] = nPeriodMs;
}

void CKIVODialerWnd::KillTimer(int nId) {
    if (!IsOwnTimerId(nId))
        return;
    m_shell.KillTimer(nId);
    m_nPeriods[nId - kFirstTimerId] = 0;
}

int CKIVODialerWnd::GetTimerPeriod(int nId) const {
    if (!IsOwnTimerId(nId))
        return 0;
    return m_nPeriods[nId - kFirstTimerId];
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
    case kTimerTrayRetry:
        ShowIconWhenTrayExists();
        break;
    default:
        break;
    }
}

bool CKIVODialerWnd::OnPowerBroadcast(unsigned /*nEvent*/) {
    return true;
}
