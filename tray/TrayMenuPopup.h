// Opens a tray menu where the display lets it appear. On X11 the menu pops up at the cursor. On
// Wayland a popup needs a parent surface, which a tray icon does not have (Qt then maps the menu as a
// full-screen tiled window), and under Xwayland the cursor position is stale while the pointer is over
// the compositor's panel. There the menu is shown as a small window of its own instead: fixed in size and
// titled with the menu's name, so the compositor floats it, closing on Escape, on a choice and when it
// loses the activation, as a popup menu does.
#pragma once

#include "platform/qt/DisplayKind.h"

#include <QObject>

class QMenu;

class CTrayMenuPopup : public QObject {
    Q_OBJECT
public:
    // Shows the menu; its title (QMenu::title) names the window where the menu is one.
    static void Popup(QMenu& menu, EDisplayKind kind);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    explicit CTrayMenuPopup(QMenu& menu);

    QMenu& m_menu;
};
