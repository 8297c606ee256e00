// kivo-bench-x: the benchmark's eyes on the X display (DISPLAY must name a display with a tray host).
//
//   kivo-bench-x start [--keep FILE] -- PROGRAM ARGS...
//       Starts PROGRAM and prints the milliseconds from its start to its tray icon docked in the tray
//       host. Then ends it with SIGTERM; with --keep, writes "PID MS" to FILE instead and waits for the
//       program to end (end it with kill PID; a SIGTERM or SIGINT to kivo-bench-x is passed on to it).
//   kivo-bench-x balloons --sim HOST:PORT --calls N LABEL:PID:QUERY...
//       N times for each target: asks the simulator to send a datagram (GET /_sim/notify?QUERY) and
//       prints "LABEL MS", the milliseconds from the request to a window of PID being mapped.
//   kivo-bench-x menu --pid PID
//       Right-clicks PID's tray icon with xdotool and prints the milliseconds from the start of the
//       click until a window of PID that is not a tooltip (balloons are) is mapped: its menu. Then closes it
//       with Escape. Prints "none" and exits with status 1 when no menu came within 3 s.
//   kivo-bench-x window --pid PID --button 1|3 --item N [--times K]
//       K times (default 1): clicks PID's tray icon with the button, chooses the menu's item N (from 1)
//       with the keyboard, waits for the window it opens, prints "WIDTH HEIGHT" of it (the first time),
//       closes it with Escape and waits until it is gone. With --item 0 only opens the menu and closes it
//       again. Each round starts with none of PID's windows open, and one whose keys were lost is tried
//       again.
#include "BenchHttp.h"
#include "XTrayObserver.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = CXTrayObserver::Clock;

volatile sig_atomic_t g_pidKept = 0;

void PassOnSignal(int nSignal) {
    if (g_pidKept > 0)
        ::kill(g_pidKept, nSignal);
}

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int RunQuiet(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Ends the program: SIGTERM, and SIGKILL if it is still there after 5 s.
void Stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int CmdStart(int argc, char* argv[]) {
    std::string strKeep;
    int i = 0;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc)
            strKeep = argv[++i];
    std::vector<std::string> args(argv + std::min(i + 1, argc), argv + argc);
    if (args.empty())
        return 2;

    CXTrayObserver x;
    if (!x.IsOpen())
        return 2;
    x.Discard();
    const Clock::time_point t0 = Clock::now();
    const pid_t pid = Spawn(args);
    if (pid < 0)
        return 2;
    const bool bDocked = x.WaitDocked(pid, t0 + std::chrono::seconds(20)) != 0;
    const double ms = MsSince(t0);
    if (!bDocked) {
        std::fprintf(stderr, "kivo-bench-x: %s did not dock within 20 s\n", args[0].c_str());
        Stop(pid);
        return 1;
    }
    if (strKeep.empty()) {
        std::printf("%.1f\n", ms);
        std::fflush(stdout);
        Stop(pid);
        return 0;
    }
    // Written whole, then renamed: whoever waits for the file never reads half of it.
    const std::string strTmp = strKeep + ".tmp";
    if (FILE* f = std::fopen(strTmp.c_str(), "w")) {
        std::fprintf(f, "%d %.1f\n", static_cast<int>(pid), ms);
        std::fclose(f);
        std::rename(strTmp.c_str(), strKeep.c_str());
    }
    // Whoever ends this process ends the program with it.
    g_pidKept = pid;
    struct sigaction action {};
    action.sa_handler = PassOnSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return 0;
}

struct CTarget {
    std::string strLabel;
    pid_t pid = 0;
    std::string strQuery;
};

int CmdBalloons(int argc, char* argv[]) {
    std::string strSim;
    int nCalls = 20;
    std::vector<CTarget> targets;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sim") == 0 && i + 1 < argc) {
            strSim = argv[++i];
        } else if (std::strcmp(argv[i], "--calls") == 0 && i + 1 < argc) {
            nCalls = std::atoi(argv[++i]);
        } else {
            const std::string strArg = argv[i];
            const size_t a = strArg.find(':'), b = strArg.find(':', a + 1);
            if (a == std::string::npos || b == std::string::npos)
                return 2;
            targets.push_back({strArg.substr(0, a), std::atoi(strArg.substr(a + 1, b - a - 1).c_str()),
                               strArg.substr(b + 1)});
        }
    }
    CXTrayObserver x;
    if (!x.IsOpen() || strSim.empty() || targets.empty())
        return 2;
    // The simulator is on loopback: never through a proxy of the environment.
    setenv("no_proxy", "*", 1);
    // Random pauses, so that the calls fall on every phase of a program's own ticks.
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pauseMs(150, 1250);
    int nFailed = 0;
    for (int n = 0; n < nCalls; ++n) {
        for (const CTarget& target : targets) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
            x.Discard();
            const Clock::time_point t0 = Clock::now();
            if (!HttpGet(strSim, "/_sim/notify?" + target.strQuery)) {
                ++nFailed;
                continue;
            }
            if (x.WaitMapped(target.pid, {}, t0 + std::chrono::seconds(5)) == 0) {
                std::fprintf(stderr, "kivo-bench-x: no balloon from %s within 5 s\n",
                             target.strLabel.c_str());
                ++nFailed;
                continue;
            }
            std::printf("%s %.1f\n", target.strLabel.c_str(), MsSince(t0));
            std::fflush(stdout);
        }
    }
    return nFailed == 0 ? 0 : 1;
}

int CmdMenu(int argc, char* argv[]) {
    pid_t pid = 0;
    for (int i = 0; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--pid") == 0)
            pid = std::atoi(argv[i + 1]);
    CXTrayObserver x;
    if (!x.IsOpen() || pid <= 0)
        return 2;
    int nX = 0, nY = 0;
    const Window icon = x.FindDocked(pid);
    if (!icon || !x.CentreOf(icon, nX, nY)) {
        std::fprintf(stderr, "kivo-bench-x: no docked icon of %d\n", static_cast<int>(pid));
        return 1;
    }
    RunQuiet({"xdotool", "mousemove", std::to_string(nX), std::to_string(nY)});
    x.Discard();
    // From the start of the click (xdotool's own start and its press-release gap included), not
    // waiting for xdotool to end: it sleeps a while after clicking.
    const Clock::time_point t0 = Clock::now();
    const pid_t click = Spawn({"xdotool", "click", "3"});
    // Qt gives its popup menus no window type of their own; the balloons that come meanwhile are
    // tooltips.
    const Window menu = x.WaitMapped(pid, "_NET_WM_WINDOW_TYPE_TOOLTIP", t0 + std::chrono::seconds(3));
    const double ms = MsSince(t0);
    if (click > 0)
        waitpid(click, nullptr, 0);
    if (!menu) {
        std::printf("none\n");
        return 1;
    }
    std::printf("%.1f\n", ms);
    RunQuiet({"xdotool", "key", "Escape"});
    RunQuiet({"xdotool", "mousemove", "0", "300"});
    return 0;
}

constexpr const char* kTooltip = "_NET_WM_WINDOW_TYPE_TOOLTIP";

void SleepMs(int nMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
}

// A mapped window of PID other than except (and not a balloon), looked for every 20 ms; 0 at the deadline.
Window WaitWindow(CXTrayObserver& x, pid_t pid, Window except, Clock::time_point deadline) {
    for (;;) {
        if (const Window w = x.FindMapped(pid, kTooltip, except))
            return w;
        if (Clock::now() >= deadline)
            return 0;
        SleepMs(20);
    }
}

// Until no window of PID is shown any more: true when none is left within the deadline.
bool WaitNoWindow(CXTrayObserver& x, pid_t pid, Clock::time_point deadline) {
    while (x.FindMapped(pid, kTooltip, 0)) {
        if (Clock::now() >= deadline)
            return false;
        SleepMs(20);
    }
    return true;
}

// Clicks the docked icon with the button and waits for a menu of PID; 0 after 3 s.
Window OpenTrayMenu(CXTrayObserver& x, pid_t pid, const std::string& strButton) {
    int nX = 0, nY = 0;
    const Window icon = x.FindDocked(pid);
    if (!icon || !x.CentreOf(icon, nX, nY))
        return 0;
    RunQuiet({"xdotool", "mousemove", std::to_string(nX), std::to_string(nY)});
    x.Discard();
    const Clock::time_point t0 = Clock::now();
    RunQuiet({"xdotool", "click", strButton});
    const Window menu = x.WaitMapped(pid, kTooltip, t0 + std::chrono::seconds(3));
    if (!menu)
        return 0;
    // The menu opens at the pointer, which still rests on the icon: off the menu, so that no item is
    // current under it when the keys come. The menu takes the keyboard once it is shown; keys sent
    // before that go elsewhere.
    RunQuiet({"xdotool", "mousemove", "0", "300"});
    SleepMs(100);
    return menu;
}

// Closes every window PID shows with Escape, as a user does: the window gets the input focus (there is
// no window manager to give it), then the key is pressed. A key pressed before the window has taken the
// focus is lost, so it is pressed again until the windows are gone (at most 5 s).
bool CloseWithEscape(CXTrayObserver& x, pid_t pid) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (const Window w = x.FindMapped(pid, kTooltip, 0)) {
        if (Clock::now() >= deadline)
            return false;
        RunQuiet({"xdotool", "windowfocus", "--sync", std::to_string(w)});
        RunQuiet({"xdotool", "key", "Escape"});
        WaitNoWindow(x, pid, Clock::now() + std::chrono::milliseconds(700));
    }
    return true;
}

// One use of a menu item: opens the menu, chooses the item with the keyboard and waits for its window.
// Returns the window, or 0 (and closes what it opened) when the window did not come.
Window OpenMenuItem(CXTrayObserver& x, pid_t pid, const std::string& strButton, int nItem) {
    const Window menu = OpenTrayMenu(x, pid, strButton);
    if (!menu)
        return 0;
    std::vector<std::string> keys{"xdotool", "key"};
    for (int i = 0; i < nItem; ++i)
        keys.emplace_back("Down");
    keys.emplace_back("Return");
    RunQuiet(keys);
    const Window wnd = WaitWindow(x, pid, menu, Clock::now() + std::chrono::seconds(5));
    if (!wnd)
        CloseWithEscape(x, pid);
    return wnd;
}

int CmdWindow(int argc, char* argv[]) {
    pid_t pid = 0;
    std::string strButton = "3";
    int nItem = 0, nTimes = 1;
    for (int i = 0; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--pid") == 0)
            pid = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--button") == 0)
            strButton = argv[i + 1];
        else if (std::strcmp(argv[i], "--item") == 0)
            nItem = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--times") == 0)
            nTimes = std::atoi(argv[i + 1]);
    }
    CXTrayObserver x;
    if (!x.IsOpen() || pid <= 0)
        return 2;
    // Each round starts with nothing of the program open; a round whose keys or clicks were lost is
    // tried again, up to three times.
    for (int n = 0; n < nTimes; ++n) {
        Window wnd = 0;
        for (int nTry = 0; nTry < 3 && !wnd; ++nTry) {
            if (!CloseWithEscape(x, pid)) {
                std::fprintf(stderr, "kivo-bench-x: a window of %d does not close\n", static_cast<int>(pid));
                return 1;
            }
            wnd = nItem == 0 ? OpenTrayMenu(x, pid, strButton) : OpenMenuItem(x, pid, strButton, nItem);
        }
        if (!wnd) {
            const std::string strWhat =
                nItem == 0 ? "no menu" : "item " + std::to_string(nItem) + ": no window";
            std::fprintf(stderr, "kivo-bench-x: %s from %d\n", strWhat.c_str(), static_cast<int>(pid));
            return 1;
        }
        int nWidth = 0, nHeight = 0;
        if (n == 0 && nItem != 0 && x.SizeOf(wnd, nWidth, nHeight)) {
            std::printf("%d %d\n", nWidth, nHeight);
            std::fflush(stdout);
        }
        if (!CloseWithEscape(x, pid)) {
            std::fprintf(stderr, "kivo-bench-x: the window did not close\n");
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "start") == 0)
        return CmdStart(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "balloons") == 0)
        return CmdBalloons(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "menu") == 0)
        return CmdMenu(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "window") == 0)
        return CmdWindow(argc - 2, argv + 2);
    std::fprintf(stderr, "usage: kivo-bench-x start [--keep FILE] -- PROGRAM ARGS... | "
                         "balloons --sim HOST:PORT --calls N LABEL:PID:QUERY... | menu --pid PID | "
                         "window --pid PID --button 1|3 --item N [--times K]\n");
    return 2;
}
