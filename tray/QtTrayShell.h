// The tray controller's desktop on Linux, through Qt: the icon (a StatusNotifierItem of our own wherever
// a StatusNotifierWatcher runs, Qt's icon in an XEmbed tray otherwise, chosen anew whenever a tray host
// appears or goes), one timer object per timer id, the two menus as QMenus, the windows of ui/, posting
// through the event loop, and the session manager's save request.
#pragma once

#include "platform/ITrayShell.h"
#include "ui/WindowOpeners.h"

#include <QBasicTimer>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

class CKIVODialerApp;
class CTrayHostWatcher;
class CTrayIcon;
class QMenu;

class CQtTrayShell : public QObject, public ITrayShell {
    Q_OBJECT
public:
    explicit CQtTrayShell(CKIVODialerApp& app);
    ~CQtTrayShell() override;

    void Attach(ITrayEvents* pEvents) override;
    void WatchTrayHosts(bool bWatch) override;
    bool HostShowsMenuOnLeftClick() const override { return m_bMenuOnLeftClick; }

    void SetIconImage(ETrayIcon icon) override;
    void SetIconTip(std::u16string_view strTip) override;
    bool AddIcon() override;
    void DeleteIcon() override;
    bool IsIconShown() override;
    bool ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) override;

    void SetTimer(int nId, int nPeriodMs) override;
    void KillTimer(int nId) override;

    void ShowMenu(ETrayMenu menu) override;

    void PostToSelf(ETrayPost post) override;
    void EndMessageLoop() override;

    ITrayWindows& Windows() override { return m_windows; }
    void OpenInBrowser(std::u16string_view strAddress) override;

    CTrayIcon* TrayIcon() const { return m_pTray.get(); }
    // The tooltip the icon carries.
    const QString& TipShown() const { return m_strTip; }
    // The icon is our own StatusNotifierItem (rather than Qt's icon in an XEmbed tray).
    bool IsStatusNotifierTray() const { return m_bStatusNotifierTray; }
    QMenu* LeftClickMenu() const { return m_pMenuLeft.get(); }
    QMenu* RightClickMenu() const { return m_pMenuRight.get(); }

signals:
    // After the controller's window was destroyed, before the event loop ends.
    void Destroyed();

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    void CreateMenus();
    // Makes the icon of the kind the desktop's tray takes, when it is not that kind yet.
    void UseTrayOfDesktop();

    CKIVODialerApp& m_app;
    ITrayEvents* m_pEvents = nullptr;
    CQtTrayWindows m_windows;
    std::unique_ptr<CTrayIcon> m_pTray;
    ETrayIcon m_icon = ETrayIcon::None;
    QString m_strTip;
    std::unique_ptr<QMenu> m_pMenuLeft;
    std::unique_ptr<QMenu> m_pMenuRight;
    std::unique_ptr<CTrayHostWatcher> m_pTrayHost;
    std::map<int, QBasicTimer> m_timers;
    bool m_bStatusNotifierTray = false; // the balloon goes to the desktop's notification server
    bool m_bMenuOnLeftClick = false;    // the host draws the exported menu on a left click (GNOME)
};
