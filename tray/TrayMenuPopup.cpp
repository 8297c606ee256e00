#include "tray/TrayMenuPopup.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>

CTrayMenuPopup::CTrayMenuPopup(QMenu& menu) : QObject(&menu), m_menu(menu) {
    // A tool window rather than a popup: no grab, no parent surface needed. The menu still draws and
    // handles its items as a torn-off menu does.
    menu.setWindowFlags(Qt::Tool);
    menu.setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu, false);
    menu.setAttribute(Qt::WA_X11NetWmWindowTypeUtility, true);
    menu.setWindowTitle(menu.title());
    menu.installEventFilter(this);
    connect(&menu, &QMenu::triggered, &menu, &QMenu::hide);
}

void CTrayMenuPopup::Popup(QMenu& menu, EDisplayKind kind) {
    if (kind == EDisplayKind::X11) {
        menu.popup(QCursor::pos());
        menu.activateWindow();
        return;
    }
    if (!menu.findChild<CTrayMenuPopup*>(QString(), Qt::FindDirectChildrenOnly))
        new CTrayMenuPopup(menu);
    // Minimum and maximum size alike: tiling compositors float such a window.
    menu.setFixedSize(menu.sizeHint());
    menu.show();
    // A Wayland client can neither raise itself nor take the activation (Qt only warns); the compositor
    // gives both to the new window. An X client asks for them, as the X server does not know of the
    // click on the compositor's panel.
    if (kind == EDisplayKind::Xwayland) {
        menu.raise();
        menu.activateWindow();
    }
}

bool CTrayMenuPopup::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == &m_menu) {
        const bool bEscape =
            pEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape;
        if (bEscape || pEvent->type() == QEvent::WindowDeactivate) {
            m_menu.hide();
            return bEscape;
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
