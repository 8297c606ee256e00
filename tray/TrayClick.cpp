#include "tray/TrayClick.h"

#include "app/AsciiText.h"

std::vector<unsigned> TrayMouseMessages(ETrayHostEvent event, bool bClickPending, bool bMenuOnLeftClick) {
    switch (event) {
    case ETrayHostEvent::Trigger:
        return {WM_LBUTTONUP};
    case ETrayHostEvent::DoubleClick:
        return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case ETrayHostEvent::Context:
        return {WM_RBUTTONUP};
    case ETrayHostEvent::Activate:
        // StatusNotifierItem hosts report a double click as two Activates, the second while the click
        // timer of the first still runs; a host that draws the menu on a click sends Activate only then.
        if (bClickPending || bMenuOnLeftClick)
            return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        return {WM_LBUTTONUP};
    case ETrayHostEvent::SecondaryActivate: // a middle button, which the notification area ignores
        break;
    }
    return {};
}

bool HostDrawsMenuOnLeftClick(std::string_view strCurrentDesktop) {
    while (!strCurrentDesktop.empty()) {
        const size_t nColon = strCurrentDesktop.find(':');
        const std::string_view strName = strCurrentDesktop.substr(0, nColon);
        if (EqualsAsciiNoCase(strName, "GNOME"))
            return true;
        if (nColon == std::string_view::npos)
            break;
        strCurrentDesktop.remove_prefix(nColon + 1);
    }
    return false;
}
