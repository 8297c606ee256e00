// How the tray host's report of the mouse becomes the notification area's mouse messages, which the tray
// controller handles as the click timer, the double-click action and the two menus expect.
#pragma once

#include "platform/TrayHostEvent.h"

#include <string_view>
#include <vector>

// The tray callback's mouse messages, as the notification area reports them.
inline constexpr unsigned WM_LBUTTONDOWN = 0x201;
inline constexpr unsigned WM_LBUTTONUP = 0x202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x204;
inline constexpr unsigned WM_RBUTTONUP = 0x205;

// The messages for one host event. bClickPending: the click timer of an earlier left click still runs.
// bMenuOnLeftClick: the host draws the item's exported menu on a left click and sends Activate only for a
// double click (see HostDrawsMenuOnLeftClick).
//
// A double click always ends with one more button release, as Windows sends it: that release arms the
// click timer once more, whose expiry clears the double-click mark instead of opening a menu.
std::vector<unsigned> TrayMouseMessages(ETrayHostEvent event, bool bClickPending, bool bMenuOnLeftClick);

// From XDG_CURRENT_DESKTOP (a colon-separated list): GNOME Shell's AppIndicator extension shows the item's
// exported menu on a single left click and reports only a double click, as Activate.
bool HostDrawsMenuOnLeftClick(std::string_view strCurrentDesktop);
