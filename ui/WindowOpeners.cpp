#include "ui/WindowOpeners.h"

#include "app/AboutDlg.h"
#include "app/KIVODialerApp.h"
#include "platform/qt/ClosedWindowMemory.h"
#include "platform/qt/DialogLoop.h"
#include "tray/WindowRules.h"
#include "ui/CdrWindowRect.h"
#include "ui/ConfigDlg.h"
#include "ui/KIVODialerCdrDlg.h"
#include "ui/KIVODialerDlg.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

// The modal dialogs while they run; the modeless windows live in the application object.
CConfigDlg* g_pConfigDlg = nullptr;
CAboutDlg* g_pAboutDlg = nullptr;

// After the closing has been delivered and the window's objects are gone.
void ReleaseClosedWindowMemorySoon() {
    QTimer::singleShot(0, &ReleaseClosedWindowMemory);
}

void BringToFront(QWidget& wnd) {
    if (wnd.isMinimized())
        wnd.showNormal();
    wnd.raise();
    wnd.activateWindow();
}

} // namespace

ETrayWindowState CQtTrayWindows::GetWindowState(ETrayWindow window) {
    switch (window) {
    case ETrayWindow::Dial:
        if (!m_app.m_pDialDlg)
            return ETrayWindowState::None;
        // A dialog closed while its call's message box is still open is still at work: shown again,
        // not deleted under it.
        return m_app.m_pDialDlg->isVisible() || m_app.m_pDialDlg->IsDialing() ? ETrayWindowState::Open
                                                                              : ETrayWindowState::Closed;
    case ETrayWindow::CallHistory:
        if (!m_app.m_pCdrDlg)
            return ETrayWindowState::None;
        return m_app.m_pCdrDlg->isVisible() ? ETrayWindowState::Open : ETrayWindowState::Closed;
    case ETrayWindow::Settings:
        return g_pConfigDlg ? ETrayWindowState::Open : ETrayWindowState::None;
    case ETrayWindow::About:
        return g_pAboutDlg ? ETrayWindowState::Open : ETrayWindowState::None;
    }
    return ETrayWindowState::None;
}

void CQtTrayWindows::CreateTrayWindow(ETrayWindow window) {
    if (window == ETrayWindow::Dial) {
        auto* pDlg = new CKIVODialerDlg(m_app);
        m_app.m_pDialDlg = pDlg;
        CKIVODialerApp& app = m_app;
        QObject::connect(pDlg, &QDialog::finished, pDlg, [&app, pDlg] {
            if (app.m_pDialDlg == pDlg)
                app.m_pDialDlg = nullptr;
            pDlg->deleteLater();
        });
        QObject::connect(pDlg, &QObject::destroyed, &ReleaseClosedWindowMemorySoon);
        pDlg->showNormal();
    } else if (window == ETrayWindow::CallHistory) {
        m_app.m_pCdrDlg = new CKIVODialerCdrDlg(m_app);
        // Closed, the window itself stays for the next open.
        QObject::connect(m_app.m_pCdrDlg, &QDialog::finished, &ReleaseClosedWindowMemorySoon);
        m_app.m_pCdrDlg->showNormal();
    }
}

void CQtTrayWindows::DeleteTrayWindow(ETrayWindow window) {
    if (window == ETrayWindow::Dial) {
        delete m_app.m_pDialDlg;
        m_app.m_pDialDlg = nullptr;
    } else if (window == ETrayWindow::CallHistory) {
        delete m_app.m_pCdrDlg;
        m_app.m_pCdrDlg = nullptr;
    }
}

void CQtTrayWindows::ShowAgain(ETrayWindow window) {
    if (window != ETrayWindow::CallHistory || !m_app.m_pCdrDlg)
        return;
    CKIVODialerCdrDlg* pDlg = m_app.m_pCdrDlg;
    // The window's outer rectangle, as the screen holds it; move() places that rectangle.
    const QRect rc = pDlg->frameGeometry();
    CScreenRect rect{rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()};
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        ClampRectToScreen(rect, pScreen->geometry().width(), pScreen->geometry().height());
    pDlg->move(rect.left, rect.top);
    pDlg->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    pDlg->showNormal();
}

void CQtTrayWindows::BringToFront(ETrayWindow window) {
    switch (window) {
    case ETrayWindow::Dial:
        if (m_app.m_pDialDlg) {
            m_app.m_pDialDlg->showNormal();
            ::BringToFront(*m_app.m_pDialDlg);
        }
        break;
    case ETrayWindow::CallHistory:
        if (m_app.m_pCdrDlg)
            ::BringToFront(*m_app.m_pCdrDlg);
        break;
    case ETrayWindow::Settings:
        if (g_pConfigDlg)
            ::BringToFront(*g_pConfigDlg);
        break;
    case ETrayWindow::About:
        if (g_pAboutDlg)
            ::BringToFront(*g_pAboutDlg);
        break;
    }
}

// Runs a modal dialog to its end, known as the open one meanwhile; true when closed with OK.
template <class TDialog> static bool RunOpenDialog(CKIVODialerApp& app, TDialog*& pOpen) {
    bool bOk = false;
    {
        TDialog dlg(app);
        pOpen = &dlg;
        bOk = RunDialogLoop(dlg) == QDialog::Accepted;
        pOpen = nullptr;
    }
    ReleaseClosedWindowMemorySoon();
    return bOk;
}

bool CQtTrayWindows::RunModal(ETrayWindow window) {
    if (window == ETrayWindow::Settings)
        return RunOpenDialog(m_app, g_pConfigDlg);
    if (window == ETrayWindow::About)
        return RunOpenDialog(m_app, g_pAboutDlg);
    return false;
}

void OpenDialDlg(CKIVODialerApp& app) {
    CQtTrayWindows windows(app);
    OpenWindowOnce(windows, ETrayWindow::Dial);
}

void OpenCdrDlg(CKIVODialerApp& app) {
    CQtTrayWindows windows(app);
    OpenWindowOnce(windows, ETrayWindow::CallHistory);
}

void DestroyCallingWindows(CKIVODialerApp& app) {
    delete app.m_pDialDlg;
    app.m_pDialDlg = nullptr;
    delete app.m_pCdrDlg;
    app.m_pCdrDlg = nullptr;
}

bool RunConfigDlg(CKIVODialerApp& app) {
    CQtTrayWindows windows(app);
    return RunModalOnce(windows, ETrayWindow::Settings);
}

bool IsConfigDlgOpen() {
    return g_pConfigDlg != nullptr;
}

void ActivateConfigDlg() {
    if (g_pConfigDlg)
        BringToFront(*g_pConfigDlg);
}

void RunAboutDlg(CKIVODialerApp& app) {
    CQtTrayWindows windows(app);
    RunModalOnce(windows, ETrayWindow::About);
}
