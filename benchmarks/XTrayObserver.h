// Watches the X display from outside the programs being measured: a program's tray icon docking in the
// tray host, and its top-level windows (balloons, menus) being mapped. Every wait is for an event the
// X server sends, so a figure is taken when it happens, not at the next look.
#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class CXTrayObserver {
public:
    using Clock = std::chrono::steady_clock;

    // Opens $DISPLAY and listens to what happens to the root window's children.
    CXTrayObserver();
    ~CXTrayObserver();
    CXTrayObserver(const CXTrayObserver&) = delete;
    CXTrayObserver& operator=(const CXTrayObserver&) = delete;

    bool IsOpen() const { return m_pDisplay != nullptr; }

    // Drops the events received so far: what follows is caused by what the caller does next.
    void Discard();
    // Waits until a window of the process leaves the root for the tray host and is mapped there.
    // Returns the window, or 0 at the deadline.
    Window WaitDocked(pid_t pid, Clock::time_point deadline);
    // Waits until a top-level window of the process is mapped whose first window type is not
    // strNotType (e.g. "_NET_WM_WINDOW_TYPE_TOOLTIP"; empty: any window). 0 at the deadline.
    Window WaitMapped(pid_t pid, const std::string& strNotType, Clock::time_point deadline);
    // A mapped top-level window of the process, other than except, whose first window type is not
    // strNotType; 0 when there is none now. Looks at the window tree as it is, not at events, so a
    // window the program has just made again in place of another is found too.
    Window FindMapped(pid_t pid, const std::string& strNotType, Window except);
    // The window's size in pixels.
    bool SizeOf(Window w, int& nWidth, int& nHeight);
    // The docked icon of the process (a window of the process that is not a child of the root), or 0.
    Window FindDocked(pid_t pid);
    // The centre of the window on the screen.
    bool CentreOf(Window w, int& x, int& y);

    pid_t PidOf(Window w);
    std::string TypeOf(Window w);

private:
    // The next event before the deadline; false at the deadline.
    bool NextEvent(XEvent& ev, Clock::time_point deadline);
    bool IsMapped(Window w);
    // The window's children, bottom of the stacking order first.
    std::vector<Window> ChildrenOf(Window w);
    Window FindDockedUnder(Window w, pid_t pid, int nDepth);

    Display* m_pDisplay = nullptr;
    Window m_root = 0;
    Atom m_atomPid = 0;
    Atom m_atomType = 0;
};
