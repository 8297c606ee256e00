// Qt's tray icon, for an X display's XEmbed tray: Qt docks it, re-docks it when the tray restarts and draws
// the balloon itself. Only made while no StatusNotifierWatcher runs, so that Qt, which chooses its kind of
// tray once per process, settles on XEmbed.
#pragma once

#include "platform/qt/TrayIcon.h"

#include <QSystemTrayIcon>

class CQtTrayIcon : public CTrayIcon {
    Q_OBJECT
public:
    CQtTrayIcon();

    void SetIcon(const QIcon& icon) override { m_tray.setIcon(icon); }
    void SetToolTip(const QString& strTip) override { m_tray.setToolTip(strTip); }
    bool Show() override;
    void Hide() override { m_tray.hide(); }
    bool IsVisible() const override { return m_tray.isVisible(); }
    bool ShowMessage(const QString& strTitle, const QString& strText, int nTimeoutMs) override;

    // An XEmbed tray exists on the display.
    static bool IsTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

private:
    QSystemTrayIcon m_tray;
};
