#include "platform/qt/QtTrayIcon.h"

#include <QCursor>

CQtTrayIcon::CQtTrayIcon() {
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            emit HostEvent(ETrayHostEvent::Trigger, QCursor::pos());
            break;
        case QSystemTrayIcon::DoubleClick:
            emit HostEvent(ETrayHostEvent::DoubleClick, QCursor::pos());
            break;
        case QSystemTrayIcon::Context:
            emit HostEvent(ETrayHostEvent::Context, QCursor::pos());
            break;
        case QSystemTrayIcon::MiddleClick:
            emit HostEvent(ETrayHostEvent::SecondaryActivate, QCursor::pos());
            break;
        default:
            break;
        }
    });
}

bool CQtTrayIcon::Show() {
    if (!IsTrayAvailable())
        return false;
    m_tray.show();
    return true;
}

bool CQtTrayIcon::ShowMessage(const QString& strTitle, const QString& strText, int nTimeoutMs) {
    if (!m_tray.isVisible())
        return false;
    m_tray.showMessage(strTitle, strText, QSystemTrayIcon::Information, nTimeoutMs);
    return true;
}
