// A private desktop for end-to-end tests: a virtual X display (Xvfb), optionally an XEmbed tray host
// (trayer) that can come and go, and optionally a session bus of its own (dbus-daemon). xdotool and
// xwininfo look at the display. Header-only; everything started is ended by the destructor.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// A child process started from argv with some variables added to the environment; killed (SIGTERM, then
// SIGKILL) when the object goes. With a pipe, the child's descriptor nPipeFd writes to ReadLine().
class CChildProcess {
public:
    CChildProcess(std::vector<std::string> argv, const std::map<std::string, std::string>& env,
                  int nPipeFd = -1) {
        std::vector<std::string> envStrings;
        for (char** p = environ; *p; ++p) {
            const std::string strVar = *p;
            if (!env.count(strVar.substr(0, strVar.find('='))))
                envStrings.push_back(strVar);
        }
        for (const auto& [strName, strValue] : env)
            envStrings.push_back(strName + "=" + strValue);
        std::vector<char*> envp;
        for (std::string& s : envStrings)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        std::vector<char*> args;
        for (std::string& s : argv)
            args.push_back(s.data());
        args.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        int fds[2] = {-1, -1};
        if (nPipeFd >= 0 && pipe2(fds, O_CLOEXEC) == 0)
            posix_spawn_file_actions_adddup2(&actions, fds[1], nPipeFd);
        const int nNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
        posix_spawn_file_actions_adddup2(&actions, nNull, STDERR_FILENO);
        if (nPipeFd != STDOUT_FILENO)
            posix_spawn_file_actions_adddup2(&actions, nNull, STDOUT_FILENO);
        if (posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(nNull);
        if (fds[1] >= 0)
            close(fds[1]);
        m_fdOut = fds[0];
    }
    ~CChildProcess() {
        Stop();
        if (m_fdOut >= 0)
            close(m_fdOut);
    }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }

    // One line from the pipe, without its line feed; empty after the time-out.
    std::string ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::string strLine;
        const auto end = std::chrono::steady_clock::now() + timeout;
        char ch = 0;
        while (m_fdOut >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd pfd{m_fdOut, POLLIN, 0};
            if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0 ||
                read(m_fdOut, &ch, 1) != 1)
                return {};
            if (ch == '\n')
                return strLine;
            strLine += ch;
        }
        return {};
    }

    void Stop() {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 200 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waitpid(m_pid, nullptr, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_fdOut = -1;
};

class CDesktopSession {
public:
    CDesktopSession() {
        // Xvfb picks a free display itself and writes its number to the descriptor given.
        m_pXvfb =
            std::make_unique<CChildProcess>(std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen",
                                                                     "0", "800x600x24", "-nolisten", "tcp"},
                                            std::map<std::string, std::string>{}, 3);
        const std::string strNumber = m_pXvfb->ReadLine();
        if (!strNumber.empty())
            m_strDisplay = ":" + strNumber;
    }

    bool IsRunning() const { return !m_strDisplay.empty(); }
    const std::string& Display() const { return m_strDisplay; }
    // The private session bus's address, or empty when none was started.
    const std::string& BusAddress() const { return m_strBus; }

    void StartTrayHost() {
        m_pTrayer = std::make_unique<CChildProcess>(
            std::vector<std::string>{"trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                                     "--height", "24"},
            std::map<std::string, std::string>{{"DISPLAY", m_strDisplay}});
    }
    void StopTrayHost() { m_pTrayer.reset(); }
    // Ends the X server, as the end of the desktop session does.
    void StopDisplay() {
        m_pTrayer.reset();
        m_pXvfb.reset();
    }

    bool StartSessionBus() {
        m_pBus = std::make_unique<CChildProcess>(
            std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=3"},
            std::map<std::string, std::string>{}, 3);
        m_strBus = m_pBus->ReadLine();
        return !m_strBus.empty();
    }

    // The environment a program on this desktop runs with: this display, and this session bus or none
    // at all (so that the machine's own desktop never answers).
    std::map<std::string, std::string> ProgramEnv() const {
        return {
            {"DISPLAY", m_strDisplay},
            {"QT_QPA_PLATFORM", "xcb"},
            {"DBUS_SESSION_BUS_ADDRESS", m_strBus.empty() ? "unix:path=/nonexistent/kivo-e2e" : m_strBus}};
    }

    // Runs a command line on this display (xdotool, xwininfo) and returns its standard output.
    std::string Run(const std::string& strCommand) const {
        std::string strOut;
        FILE* pPipe = popen(("DISPLAY=" + m_strDisplay + " " + strCommand + " 2>/dev/null").c_str(), "r");
        if (!pPipe)
            return strOut;
        char buf[512];
        while (size_t n = fread(buf, 1, sizeof buf, pPipe))
            strOut.append(buf, n);
        pclose(pPipe);
        return strOut;
    }

    // The program's windows on screen, by id, with their heights: the tray icon is small, a menu or a
    // message box is tall.
    std::vector<std::pair<std::string, int>> VisibleWindows(pid_t pid) const {
        std::vector<std::pair<std::string, int>> windows;
        const std::string strIds = Run("xdotool search --onlyvisible --pid " + std::to_string(pid));
        size_t pos = 0;
        while (pos < strIds.size()) {
            const size_t end = strIds.find('\n', pos);
            const std::string strId = strIds.substr(pos, end - pos);
            pos = end == std::string::npos ? strIds.size() : end + 1;
            if (strId.empty())
                continue;
            const std::string strInfo = Run("xwininfo -id " + strId);
            const size_t h = strInfo.find("Height:");
            windows.emplace_back(strId, h == std::string::npos ? 0 : std::atoi(strInfo.c_str() + h + 7));
        }
        return windows;
    }
    // The docked tray icon of the program, or empty.
    std::string IconWindow(pid_t pid) const {
        for (const auto& [strId, nHeight] : VisibleWindows(pid))
            if (nHeight > 0 && nHeight <= 40)
                return strId;
        return {};
    }
    // A menu or message box of the program on screen, or empty.
    std::string PopupWindow(pid_t pid) const {
        for (const auto& [strId, nHeight] : VisibleWindows(pid))
            if (nHeight > 40)
                return strId;
        return {};
    }
    // Clicks the middle of a window with a mouse button (1 left, 3 right).
    void Click(const std::string& strWindow, int nButton) const {
        Run("xdotool mousemove --window " + strWindow + " 8 8 click " + std::to_string(nButton));
    }
    void Key(const std::string& strKey) const { Run("xdotool key " + strKey); }

private:
    std::unique_ptr<CChildProcess> m_pXvfb;
    std::unique_ptr<CChildProcess> m_pTrayer;
    std::unique_ptr<CChildProcess> m_pBus;
    std::string m_strDisplay;
    std::string m_strBus;
};
