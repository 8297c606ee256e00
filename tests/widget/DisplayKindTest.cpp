// Which display the program is on, from Qt's platform and the session's variables.
#include "platform/qt/DisplayKind.h"

#include <QString>
#include <gtest/gtest.h>

TEST(DisplayKind, FromThePlatformAndTheSession) {
    struct Case {
        const char16_t* strPlatform;
        const char16_t* strSessionType;
        const char16_t* strWaylandDisplay;
        EDisplayKind expected;
    };
    const Case cases[] = {
        {u"wayland", u"wayland", u"wayland-0", EDisplayKind::Wayland},
        {u"wayland-egl", u"", u"", EDisplayKind::Wayland},
        // The X11 platform on a Wayland session, told by either variable.
        {u"xcb", u"wayland", u"wayland-0", EDisplayKind::Xwayland},
        {u"xcb", u"wayland", u"", EDisplayKind::Xwayland},
        {u"xcb", u"tty", u"wayland-1", EDisplayKind::Xwayland},
        {u"xcb", u"x11", u"", EDisplayKind::X11},
        {u"xcb", u"", u"", EDisplayKind::X11},
        // No window system: menus pop up as on X11.
        {u"offscreen", u"wayland", u"wayland-0", EDisplayKind::X11},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayKindOf(c.strPlatform, c.strSessionType, c.strWaylandDisplay), c.expected)
            << QString::fromUtf16(c.strPlatform).toStdString() << " "
            << QString::fromUtf16(c.strSessionType).toStdString() << " "
            << QString::fromUtf16(c.strWaylandDisplay).toStdString();
}
