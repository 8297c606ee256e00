#include "platform/qt/DisplayKind.h"

#include <QGuiApplication>

EDisplayKind DisplayKindOf(QStringView strPlatform, QStringView strSessionType,
                           QStringView strWaylandDisplay) {
    // "wayland", "wayland-egl", "wayland-xcomposite-glx", ...
    if (strPlatform.startsWith(u"wayland"))
        return EDisplayKind::Wayland;
    if (strPlatform == u"xcb" && (strSessionType == u"wayland" || !strWaylandDisplay.isEmpty()))
        return EDisplayKind::Xwayland;
    return EDisplayKind::X11;
}

EDisplayKind CurrentDisplayKind() {
    return DisplayKindOf(QGuiApplication::platformName(), qEnvironmentVariable("XDG_SESSION_TYPE"),
                         qEnvironmentVariable("WAYLAND_DISPLAY"));
}
