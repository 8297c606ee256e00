// The program's icon in the desktop's tray, whichever kind of tray the desktop offers: Qt's own icon for
// an XEmbed tray (CQtTrayIcon) or a StatusNotifierItem of our own (CStatusNotifierItem).
#pragma once

#include "platform/TrayHostEvent.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void SetToolTip(const QString& strTip) = 0;
    // Hands the icon to the tray; false while no tray host is there to take it.
    virtual bool Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // A transient popup from the icon with the information icon; false when nothing could show it.
    virtual bool ShowMessage(const QString& strTitle, const QString& strText, int nTimeoutMs) = 0;

signals:
    // The mouse on the icon, as the host reported it; pos is where on the screen, when the host says.
    void HostEvent(ETrayHostEvent event, QPoint pos);
};
