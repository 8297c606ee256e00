#include "XTrayObserver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <poll.h>

namespace {
// X errors on windows that went away between an event and a look at them are expected here.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}
} // namespace

CXTrayObserver::CXTrayObserver() {
    m_pDisplay = XOpenDisplay(nullptr);
    if (!m_pDisplay)
        return;
    XSetErrorHandler(IgnoreXError);
    m_root = DefaultRootWindow(m_pDisplay);
    m_atomPid = XInternAtom(m_pDisplay, "_NET_WM_PID", False);
    m_atomType = XInternAtom(m_pDisplay, "_NET_WM_WINDOW_TYPE", False);
    XSelectInput(m_pDisplay, m_root, SubstructureNotifyMask);
    XSync(m_pDisplay, False);
}

CXTrayObserver::~CXTrayObserver() {
    if (m_pDisplay)
        XCloseDisplay(m_pDisplay);
}

void CXTrayObserver::Discard() {
    XSync(m_pDisplay, False);
    XEvent ev;
    while (XPending(m_pDisplay) > 0)
        XNextEvent(m_pDisplay, &ev);
}

bool CXTrayObserver::NextEvent(XEvent& ev, Clock::time_point deadline) {
    for (;;) {
        if (XPending(m_pDisplay) > 0) {
            XNextEvent(m_pDisplay, &ev);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd fd{ConnectionNumber(m_pDisplay), POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left.count()) + 1);
    }
}

pid_t CXTrayObserver::PidOf(Window w) {
    Atom type = 0;
    int nFormat = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(m_pDisplay, w, m_atomPid, 0, 1, False, XA_CARDINAL, &type, &nFormat, &nItems,
                           &nAfter, &pData) == Success &&
        pData) {
        if (nFormat == 32 && nItems == 1)
            pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(pData));
        XFree(pData);
    }
    return pid;
}

std::string CXTrayObserver::TypeOf(Window w) {
    Atom type = 0;
    int nFormat = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    std::string strType;
    if (XGetWindowProperty(m_pDisplay, w, m_atomType, 0, 1, False, XA_ATOM, &type, &nFormat, &nItems, &nAfter,
                           &pData) == Success &&
        pData) {
        if (nFormat == 32 && nItems >= 1) {
            if (char* pName = XGetAtomName(m_pDisplay, *reinterpret_cast<Atom*>(pData))) {
                strType = pName;
                XFree(pName);
            }
        }
        XFree(pData);
    }
    return strType;
}

bool CXTrayObserver::IsMapped(Window w) {
    XWindowAttributes attrs;
    return XGetWindowAttributes(m_pDisplay, w, &attrs) && attrs.map_state != IsUnmapped;
}

Window CXTrayObserver::WaitDocked(pid_t pid, Clock::time_point deadline) {
    Window icon = 0;
    XEvent ev;
    while (NextEvent(ev, deadline)) {
        if (ev.type == ReparentNotify && ev.xreparent.parent != m_root && icon == 0 &&
            PidOf(ev.xreparent.window) == pid) {
            icon = ev.xreparent.window;
            // Its own map event from now on; it may already be mapped by the time we look.
            XSelectInput(m_pDisplay, icon, StructureNotifyMask);
            if (IsMapped(icon))
                return icon;
        } else if (ev.type == MapNotify && icon != 0 && ev.xmap.window == icon) {
            return icon;
        }
    }
    return 0;
}

Window CXTrayObserver::WaitMapped(pid_t pid, const std::string& strNotType, Clock::time_point deadline) {
    XEvent ev;
    while (NextEvent(ev, deadline)) {
        if (ev.type != MapNotify || ev.xmap.event != m_root)
            continue;
        const Window w = ev.xmap.window;
        if (PidOf(w) == pid && (strNotType.empty() || TypeOf(w) != strNotType))
            return w;
    }
    return 0;
}

bool CXTrayObserver::SizeOf(Window w, int& nWidth, int& nHeight) {
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(m_pDisplay, w, &attrs))
        return false;
    nWidth = attrs.width;
    nHeight = attrs.height;
    return true;
}

std::vector<Window> CXTrayObserver::ChildrenOf(Window w) {
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned nChildren = 0;
    std::vector<Window> children;
    if (XQueryTree(m_pDisplay, w, &root, &parent, &pChildren, &nChildren) && pChildren)
        children.assign(pChildren, pChildren + nChildren);
    if (pChildren)
        XFree(pChildren);
    return children;
}

Window CXTrayObserver::FindMapped(pid_t pid, const std::string& strNotType, Window except) {
    const std::vector<Window> children = ChildrenOf(m_root);
    // From the top of the stacking order down: the newest window first.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (*it != except && PidOf(*it) == pid && IsMapped(*it) &&
            (strNotType.empty() || TypeOf(*it) != strNotType))
            return *it;
    return 0;
}

Window CXTrayObserver::FindDockedUnder(Window w, pid_t pid, int nDepth) {
    for (const Window child : ChildrenOf(w)) {
        if (nDepth > 0 && PidOf(child) == pid && IsMapped(child))
            return child;
        if (nDepth < 8)
            if (const Window found = FindDockedUnder(child, pid, nDepth + 1))
                return found;
    }
    return 0;
}

Window CXTrayObserver::FindDocked(pid_t pid) {
    return FindDockedUnder(m_root, pid, 0);
}

bool CXTrayObserver::CentreOf(Window w, int& x, int& y) {
    XWindowAttributes attrs;
    Window child = 0;
    if (!XGetWindowAttributes(m_pDisplay, w, &attrs) ||
        !XTranslateCoordinates(m_pDisplay, w, m_root, attrs.width / 2, attrs.height / 2, &x, &y, &child))
        return false;
    return true;
}
