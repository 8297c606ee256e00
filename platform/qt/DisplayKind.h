// What kind of display the program's windows are on. On Wayland a window cannot place itself and a popup
// needs a parent surface; under Xwayland the X server knows the pointer only over X windows, so a menu
// placed at the cursor opens where the pointer last was over one of them.
#pragma once

#include <QStringView>

enum class EDisplayKind {
    X11,      // an X server of its own, or a platform without a window system (offscreen)
    Wayland,  // Qt's Wayland platform
    Xwayland, // Qt's X11 platform on the X server of a Wayland compositor
};

// From the Qt platform's name (QGuiApplication::platformName) and the session's XDG_SESSION_TYPE and
// WAYLAND_DISPLAY.
EDisplayKind DisplayKindOf(QStringView strPlatform, QStringView strSessionType,
                           QStringView strWaylandDisplay);

// The kind of the running application's display; it does not change while the program runs.
EDisplayKind CurrentDisplayKind();
