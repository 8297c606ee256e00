#include "ui/WindowOpeners.h"

#include "app/AboutDlg.h"
#include "app/KIVODialerApp.h"
#include "platform/qt/DialogLoop.h"
#include "ui/CdrWindowRect.h"
#include "ui/ConfigDlg.h"
#include "ui/KIVODialerCdrDlg.h"
#include "ui/KIVODialerDlg.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

// The modal dialogs while they run; the modeless windows live in the application object.
CConfigDlg* g_pConfigDlg = nullptr;
CAboutDlg* g_pAboutDlg = nullptr;

void BringToFront(QWidget& wnd) {
    if (wnd.isMinimized())
        wnd.showNormal();
    wnd.raise();
    wnd.activateWindow();
}

} // namespace

void OpenDialDlg(CKIVODialerApp& app) {
    if (app.m_pDialDlg) {
        // A dialog closed while its call's message box is still open is still at work: shown again,
        // not deleted under it.
        if (app.m_pDialDlg->isVisible() || app.m_pDialDlg->IsDialing()) {
            app.m_pDialDlg->showNormal();
            BringToFront(*app.m_pDialDlg);
            return;
        }
        delete app.m_pDialDlg;
        app.m_pDialDlg = nullptr;
    }
    // Closed, the dialog gives up its window and widgets: a new one reads the clipboard and the
    // history again anyway.
    auto* pDlg = new CKIVODialerDlg(app);
    app.m_pDialDlg = pDlg;
    QObject::connect(pDlg, &QDialog::finished, pDlg, [&app, pDlg] {
        if (app.m_pDialDlg == pDlg)
            app.m_pDialDlg = nullptr;
        pDlg->deleteLater();
    });
    pDlg->showNormal();
}

void OpenCdrDlg(CKIVODialerApp& app) {
    CKIVODialerCdrDlg* pDlg = app.m_pCdrDlg;
    if (pDlg && pDlg->isVisible()) {
        BringToFront(*pDlg);
        return;
    }
    if (pDlg) {
        // The window's outer rectangle, as the screen holds it; move() places that rectangle.
        const QRect rc = pDlg->frameGeometry();
        CScreenRect rect{rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()};
        if (const QScreen* pScreen = QGuiApplication::primaryScreen())
            ClampRectToScreen(rect, pScreen->geometry().width(), pScreen->geometry().height());
        pDlg->move(rect.left, rect.top);
        pDlg->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    } else {
        pDlg = new CKIVODialerCdrDlg(app);
        app.m_pCdrDlg = pDlg;
    }
    pDlg->showNormal();
    BringToFront(*pDlg);
}

void DestroyCallingWindows(CKIVODialerApp& app) {
    delete app.m_pDialDlg;
    app.m_pDialDlg = nullptr;
    delete app.m_pCdrDlg;
    app.m_pCdrDlg = nullptr;
}

bool RunConfigDlg(CKIVODialerApp& app) {
    if (g_pConfigDlg) {
        BringToFront(*g_pConfigDlg);
        return false;
    }
    CConfigDlg dlg(app);
    g_pConfigDlg = &dlg;
    const bool bOk = RunDialogLoop(dlg) == QDialog::Accepted;
    g_pConfigDlg = nullptr;
    return bOk;
}

bool IsConfigDlgOpen() {
    return g_pConfigDlg != nullptr;
}

void ActivateConfigDlg() {
    if (g_pConfigDlg)
        BringToFront(*g_pConfigDlg);
}

void RunAboutDlg(CKIVODialerApp& app) {
    if (g_pAboutDlg) {
        BringToFront(*g_pAboutDlg);
        return;
    }
    CAboutDlg dlg(app);
    g_pAboutDlg = &dlg;
    RunDialogLoop(dlg);
    g_pAboutDlg = nullptr;
}
