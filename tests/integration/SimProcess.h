// Runs the exchange simulator (tools/kivo-pbx-sim) as a child process on a free loopback port, for
// integration tests. Header-only.
//
//   CSimProcess sim({"--account", "2001:secret"});
//   ASSERT_TRUE(sim.IsRunning());
//   CSimReply reply = sim.Get("/manager/kivodialer/regist?callid=2001&passwd=secret&port=10640&type=0");
//   EXPECT_EQ(reply.m_strBody, "OK");
//   sim.Get("/_sim/force?kind=call&status=500");        // the next call request gets a 500
//   std::string strPbx = sim.HostPort();                 // "127.0.0.1:PORT", for the "PBX" setting
//
// The destructor stops the simulator (SIGTERM) and waits for it. The simulator's control API is described
// in tools/README.md and by `kivo-pbx-sim --help`.
#pragma once

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <httplib.h>

extern char** environ;

struct CSimReply {
    int m_nStatus = 0; // 0 when no reply came
    std::string m_strBody;
    httplib::Headers m_headers;
    httplib::Error m_eError = httplib::Error::Success;

    std::string Header(const std::string& strKey) const {
        auto it = m_headers.find(strKey);
        return it == m_headers.end() ? std::string() : it->second;
    }
};

class CSimProcess {
public:
    static std::string SimulatorPath() { return KIVO_BINARY_DIR "/tools/kivo-pbx-sim"; }

    // Starts the simulator with these options and "--port 0" (add "--port N" to override); waits up to
    // five seconds for its listening line.
    explicit CSimProcess(std::vector<std::string> args = {}) {
        args.insert(args.begin(), {SimulatorPath(), "--port", "0"});
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& strArg : args)
            argv.push_back(strArg.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        m_fdOut = fds[0];
        if (m_pid > 0)
            m_nPort = ReadPort();
    }

    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;
    ~CSimProcess() {
        Stop();
        if (m_fdOut >= 0)
            close(m_fdOut);
    }

    bool IsRunning() const { return m_nPort > 0 && m_nExit == kRunning; }
    int Port() const { return m_nPort; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_nPort); }

    // SIGTERM, then waits (SIGKILL after five seconds). Returns the exit status, 128 + the signal number
    // when killed by a signal, or -1 when nothing was started. Repeated calls return the same value.
    int Stop() {
        if (m_nExit != kRunning || m_pid <= 0)
            return m_nExit == kRunning ? -1 : m_nExit;
        kill(m_pid, SIGTERM);
        m_nExit = WaitExit(std::chrono::seconds(5));
        if (m_nExit == kRunning) {
            kill(m_pid, SIGKILL);
            m_nExit = WaitExit(std::chrono::seconds(5));
        }
        return m_nExit;
    }

    // One GET with httplib::Client; the target is sent exactly as given (no encoding added).
    CSimReply Get(const std::string& strTarget, const httplib::Headers& headers = {}) const {
        httplib::Client client("127.0.0.1", m_nPort);
        client.set_url_encode(false);
        client.set_connection_timeout(2);
        client.set_read_timeout(5);
        CSimReply reply;
        httplib::Result result = client.Get(strTarget, headers);
        reply.m_eError = result.error();
        if (result) {
            reply.m_nStatus = result->status;
            reply.m_strBody = result->body;
            reply.m_headers = result->headers;
        }
        return reply;
    }

    // One GET over a plain socket; returns every byte received until the simulator closed the
    // connection (status line, headers and body), for replies that an HTTP client refuses.
    std::string RawGet(const std::string& strTarget) const {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(m_nPort));
        std::string strBytes;
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            std::string strRequest =
                "GET " + strTarget + " HTTP/1.1\r\nHost: " + HostPort() + "\r\nConnection: close\r\n\r\n";
            if (send(fd, strRequest.data(), strRequest.size(), MSG_NOSIGNAL) ==
                static_cast<ssize_t>(strRequest.size())) {
                char buf[4096];
                pollfd pfd{fd, POLLIN, 0};
                while (poll(&pfd, 1, 5000) > 0) {
                    ssize_t n = recv(fd, buf, sizeof buf, 0);
                    if (n <= 0)
                        break;
                    strBytes.append(buf, static_cast<size_t>(n));
                }
            }
        }
        close(fd);
        return strBytes;
    }

private:
    static constexpr int kRunning = -2;

    int ReadPort() {
        const std::string strPrefix = "kivo-pbx-sim listening on ";
        std::string strLine;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (strLine.find('\n') == std::string::npos) {
            auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd pfd{m_fdOut, POLLIN, 0};
            char ch;
            if (nLeft.count() <= 0 || poll(&pfd, 1, static_cast<int>(nLeft.count())) <= 0 ||
                read(m_fdOut, &ch, 1) != 1)
                return 0;
            strLine += ch;
        }
        size_t nColon = strLine.rfind(':');
        if (strLine.compare(0, strPrefix.size(), strPrefix) != 0 || nColon == std::string::npos)
            return 0;
        return atoi(strLine.c_str() + nColon + 1);
    }

    int WaitExit(std::chrono::milliseconds timeout) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            int nStatus = 0;
            if (waitpid(m_pid, &nStatus, WNOHANG) == m_pid)
                return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (std::chrono::steady_clock::now() < deadline);
        return kRunning;
    }

    pid_t m_pid = -1;
    int m_fdOut = -1;
    int m_nPort = 0;
    int m_nExit = kRunning;
};
