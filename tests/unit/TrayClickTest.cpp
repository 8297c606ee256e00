#include "tray/TrayClick.h"

#include <gtest/gtest.h>

TEST(TrayClick, HostEventsBecomeTheNotificationAreasMessages) {
    using E = ETrayHostEvent;
    const std::vector<unsigned> kClick{WM_LBUTTONUP};
    const std::vector<unsigned> kDouble{WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    const std::vector<unsigned> kRight{WM_RBUTTONUP};
    const std::vector<unsigned> kNone{};
    struct Case {
        E event;
        bool bPending;
        bool bMenuOnLeftClick;
        const std::vector<unsigned>& messages;
    } cases[] = {
        {E::Trigger, false, false, kClick},
        {E::Trigger, true, false, kClick}, // XEmbed reports its double clicks itself
        {E::DoubleClick, true, false, kDouble},
        {E::Context, false, false, kRight},
        {E::Context, true, true, kRight},
        {E::Activate, false, false, kClick},
        {E::Activate, true, false, kDouble}, // the second Activate of a double click
        {E::Activate, false, true, kDouble}, // GNOME sends Activate for a double click only
        {E::SecondaryActivate, false, false, kNone},
        {E::SecondaryActivate, true, true, kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayMouseMessages(c.event, c.bPending, c.bMenuOnLeftClick), c.messages)
            << int(c.event) << " pending=" << c.bPending << " menuOnLeftClick=" << c.bMenuOnLeftClick;
}

TEST(TrayClick, OnlyGnomeDrawsTheMenuOnALeftClick) {
    const std::pair<std::string_view, bool> cases[] = {
        {"GNOME", true},
        {"ubuntu:GNOME", true},
        {"GNOME-Classic:GNOME", true},
        {"gnome", true},
        {"KDE", false},
        {"XFCE", false},
        {"sway", false},
        {"", false},
        {"GNOME-Flashback", false},
        {"X-Cinnamon", false},
        {"::GNOME:", true},
        {"NOTGNOME", false},
    };
    for (auto [strDesktop, bExpected] : cases)
        EXPECT_EQ(HostDrawsMenuOnLeftClick(strDesktop), bExpected) << strDesktop;
}
