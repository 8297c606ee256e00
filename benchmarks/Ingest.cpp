// kivo-bench-ingest: how many datagrams per second the notification terminal's worker thread (CTermUdp)
// moves from its socket into the message queue while another thread drains the queue as fast as it can,
// against a bare blocking recvfrom loop on a socket set up the same way (UDP, every interface, default
// buffers). Both face the same sender on loopback.
//
//   kivo-bench-ingest [--runs N] [--seconds S] [--regime free|saturated] [--only term|bare|poll]
//
// free: the sender sends as fast as it can and the threads run where the scheduler puts them. The
//   figure is the wall-clock rate into the queue. On loopback one sender cannot outpace either
//   receiver (the sending system call does most of the delivery work), so this shows whether the
//   terminal keeps up, not what it could take.
// saturated: the receiving thread shares one CPU with the sender at the lowest priority (nice 19), so
//   its socket is full whenever it runs and it never waits for a datagram; the drainer has the other
//   CPU. The figure is the receiving thread's capacity: datagrams moved per second of its own CPU
//   time, which the scheduling of other work on the machine does not change.
//
// A second baseline, "poll", is the bare loop with the system calls the terminal's design makes for each
// datagram: a poll of the socket and the stop pipe (one datagram per ready event), then the receive. It
// sets the bare loop's figure apart from what that design costs before any work of ours.
//
// Prints one line per run, in turn "term RATE", "bare RATE" and "poll RATE" (--only: one of them, e.g. to
// profile it).
#include "BenchUtil.h"

#include "app/MemoryProfile.h"
#include "notify/MsgQueue.h"
#include "notify/TerminalControl.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

namespace {

using bench::Clock;

constexpr auto kWarmUp = std::chrono::milliseconds(200);
bool g_bSaturated = false;

std::vector<std::string> Batch() {
    std::vector<std::string> texts;
    for (int i = 0; i < 32; ++i)
        texts.push_back(bench::IncomingCall("2001", "03" + std::to_string(12345600 + i)));
    return texts;
}

std::set<pid_t> Threads() {
    std::set<pid_t> tids;
    if (DIR* pDir = ::opendir("/proc/self/task")) {
        while (const dirent* pEntry = ::readdir(pDir))
            if (pEntry->d_name[0] != '.')
                tids.insert(std::atoi(pEntry->d_name));
        ::closedir(pDir);
    }
    return tids;
}

// Nanoseconds the thread has spent on a CPU.
uint64_t CpuNs(pid_t tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/schedstat");
    uint64_t ns = 0;
    in >> ns;
    return ns;
}

// The CPUs this process may use, in order.
std::vector<int> Cpus() {
    cpu_set_t set;
    CPU_ZERO(&set);
    std::vector<int> cpus;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        for (int i = 0; i < CPU_SETSIZE; ++i)
            if (CPU_ISSET(i, &set))
                cpus.push_back(i);
    return cpus;
}

void Pin(pid_t tid, int nCpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(nCpu, &set);
    sched_setaffinity(tid, sizeof set, &set);
}

// In the saturated regime: the receiver at nice 19 beside the sender on the first CPU, the drainer on
// the second.
void Place(pid_t tidReceiver, pid_t tidSender, pid_t tidDrainer) {
    if (!g_bSaturated)
        return;
    const std::vector<int> cpus = Cpus();
    if (cpus.empty())
        return;
    Pin(tidReceiver, cpus[0]);
    Pin(tidSender, cpus[0]);
    if (tidDrainer != 0 && cpus.size() > 1)
        Pin(tidDrainer, cpus[1]);
    setpriority(PRIO_PROCESS, static_cast<id_t>(tidReceiver), 19);
}

// Sends to the port until stopped.
class CSender {
public:
    explicit CSender(uint16_t nPort) : m_sender(nPort), m_texts(Batch()) {
        m_thread = std::thread([this] {
            m_tid = ::gettid();
            while (!m_bStop.load(std::memory_order_relaxed))
                m_sender.Send(m_texts);
        });
        while (m_tid.load() == 0)
            std::this_thread::yield();
    }
    ~CSender() {
        m_bStop = true;
        m_thread.join();
    }
    CSender(const CSender&) = delete;
    CSender& operator=(const CSender&) = delete;

    pid_t Tid() const { return m_tid.load(); }

private:
    bench::CLoopbackBatchSender m_sender;
    std::vector<std::string> m_texts;
    std::atomic<bool> m_bStop{false};
    std::atomic<pid_t> m_tid{0};
    std::thread m_thread;
};

// Takes records out of the queue as fast as it can until stopped, counting them.
class CDrainer {
public:
    explicit CDrainer(CMsgQueue& queue) {
        m_thread = std::thread([this, &queue] {
            m_tid = ::gettid();
            while (!m_bStop.load(std::memory_order_relaxed)) {
                if (queue.GetMsg())
                    m_nDrained.fetch_add(1, std::memory_order_relaxed);
                else
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });
        while (m_tid.load() == 0)
            std::this_thread::yield();
    }
    ~CDrainer() {
        m_bStop = true;
        m_thread.join();
    }
    CDrainer(const CDrainer&) = delete;
    CDrainer& operator=(const CDrainer&) = delete;

    pid_t Tid() const { return m_tid.load(); }
    uint64_t Count() const { return m_nDrained.load(); }

private:
    std::atomic<uint64_t> m_nDrained{0};
    std::atomic<bool> m_bStop{false};
    std::atomic<pid_t> m_tid{0};
    std::thread m_thread;
};

// Lets the count settle for the warm-up, then counts for the given time: per second of wall-clock
// time, or (saturated) per second of the receiving thread's CPU time.
double Measure(const std::function<uint64_t()>& count, pid_t tidReceiver, std::chrono::milliseconds span) {
    std::this_thread::sleep_for(kWarmUp);
    const uint64_t n0 = count();
    const uint64_t cpu0 = CpuNs(tidReceiver);
    const Clock::time_point t0 = Clock::now();
    std::this_thread::sleep_for(span);
    const uint64_t n1 = count();
    const uint64_t cpu1 = CpuNs(tidReceiver);
    const double ms = bench::MsSince(t0);
    if (!g_bSaturated)
        return static_cast<double>(n1 - n0) * 1000.0 / ms;
    return cpu1 > cpu0 ? static_cast<double>(n1 - n0) * 1e9 / static_cast<double>(cpu1 - cpu0) : 0;
}

double RunTerm(std::chrono::milliseconds span) {
    CMsgQueue queue;
    CMemoryProfile profile;
    CTerminalControl terminal;
    const std::set<pid_t> others = Threads();
    // Base port 0: the terminal binds a free port, found out from its socket.
    if (!terminal.StartTerminal(queue, 0, profile))
        return 0;
    uint32_t addrBound = 0;
    uint16_t nPort = 0;
    terminal.GetTerminal()->m_pSocket->LocalAddress(addrBound, nPort);
    // The worker is the thread that came with the terminal.
    pid_t tidWorker = 0;
    for (pid_t tid : Threads())
        if (!others.count(tid))
            tidWorker = tid;

    double rate = 0;
    {
        CDrainer drainer(queue);
        CSender sender(nPort);
        Place(tidWorker, sender.Tid(), drainer.Tid());
        rate = Measure([&] { return drainer.Count(); }, tidWorker, span);
    }
    terminal.StopTerminal();
    return rate;
}

// The bare loop: a blocking recvfrom after another; with bPollFirst, a poll of the socket and a pipe before
// each non-blocking recvfrom.
double RunBare(std::chrono::milliseconds span, bool bPollFirst) {
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return 0;
    // Wakes the loop now and then when nothing comes, so that it sees the stop.
    timeval wait{0, 250000};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);

    std::atomic<uint64_t> nReceived{0};
    std::atomic<bool> bStop{false};
    std::atomic<pid_t> tidReceiver{0};
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return 0;
    std::thread receiver([&] {
        tidReceiver = ::gettid();
        char buf[8192];
        while (!bStop.load(std::memory_order_relaxed)) {
            if (bPollFirst) {
                pollfd fds[2] = {{sock, POLLIN, 0}, {pipeFds[0], POLLIN, 0}};
                if (::poll(fds, 2, 250) <= 0 || !(fds[0].revents & POLLIN))
                    continue;
            }
            sockaddr_in from{};
            socklen_t len = sizeof from;
            if (::recvfrom(sock, buf, sizeof buf, bPollFirst ? MSG_DONTWAIT : 0,
                           reinterpret_cast<sockaddr*>(&from), &len) > 0)
                nReceived.fetch_add(1, std::memory_order_relaxed);
        }
    });
    while (tidReceiver.load() == 0)
        std::this_thread::yield();
    double rate = 0;
    {
        CSender sender(bench::BoundPort(sock));
        Place(tidReceiver.load(), sender.Tid(), 0);
        rate = Measure([&] { return nReceived.load(); }, tidReceiver.load(), span);
    }
    bStop = true;
    receiver.join();
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::close(sock);
    return rate;
}

} // namespace

int main(int argc, char* argv[]) {
    int nRuns = 5;
    double seconds = 1.0;
    std::string strOnly;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            nRuns = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--regime") == 0)
            g_bSaturated = std::strcmp(argv[i + 1], "saturated") == 0;
        else if (std::strcmp(argv[i], "--only") == 0)
            strOnly = argv[i + 1];
    }
    const auto span = std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    for (int n = 0; n < nRuns; ++n) {
        if (strOnly.empty() || strOnly == "term") {
            std::printf("term %.0f\n", RunTerm(span));
            std::fflush(stdout);
        }
        if (strOnly.empty() || strOnly == "bare") {
            std::printf("bare %.0f\n", RunBare(span, false));
            std::fflush(stdout);
        }
        if (strOnly.empty() || strOnly == "poll") {
            std::printf("poll %.0f\n", RunBare(span, true));
            std::fflush(stdout);
        }
    }
    return 0;
}
