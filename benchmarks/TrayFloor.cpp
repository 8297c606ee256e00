// The toolkit's floor for the benchmark: a Qt program that does nothing but show a tray icon (the
// program's own grey icon). With --udp PORT it also shows every datagram received on PORT at once as a
// balloon, the least any program can take from a datagram to a balloon. With --ticks it wakes as the
// program is designed to when idle, doing nothing each time: a 1 s timer on the interface thread and a
// thread that waits for a datagram 250 ms at a time.

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {
int OpenUdp(int nPort) {
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<uint16_t>(nPort));
    if (sock < 0 || ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return -1;
    return sock;
}
// The program's wake-ups alone: the interface thread's 1 s tick and the receiving thread's 250 ms wait on
// its socket and a stop pipe.
class CIdleTicks {
public:
    CIdleTicks() : m_sock(OpenUdp(0)) {
        if (::pipe(m_stop) != 0)
            m_stop[0] = m_stop[1] = -1;
        m_tick.start(1000);
        m_worker = std::thread([this] {
            pollfd fds[2] = {{m_sock, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            while (!m_bStop.load())
                ::poll(fds, 2, 250);
        });
    }
    ~CIdleTicks() {
        m_bStop = true;
        // The worker also sees the flag at its next wake-up; the byte only ends its wait sooner.
        [[maybe_unused]] const ssize_t n = m_stop[1] >= 0 ? ::write(m_stop[1], "x", 1) : 0;
        m_worker.join();
        for (int fd : {m_sock, m_stop[0], m_stop[1]})
            if (fd >= 0)
                ::close(fd);
    }
    CIdleTicks(const CIdleTicks&) = delete;
    CIdleTicks& operator=(const CIdleTicks&) = delete;

private:
    int m_sock;
    int m_stop[2]{};
    QTimer m_tick;
    std::atomic<bool> m_bStop{false};
    std::thread m_worker;
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QSystemTrayIcon tray(QIcon(QStringLiteral(":/icons/kivodialer-135.svg")));
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();

    // Only with --ticks: the floor itself has no timer and no thread.
    std::unique_ptr<CIdleTicks> pTicks;
    if (argc == 2 && std::strcmp(argv[1], "--ticks") == 0)
        pTicks = std::make_unique<CIdleTicks>();
    // Only with --udp: the floor itself has no socket and no notifier.
    std::unique_ptr<QSocketNotifier> pNotifier;
    if (argc == 3 && std::strcmp(argv[1], "--udp") == 0) {
        const int sock = OpenUdp(std::atoi(argv[2]));
        if (sock < 0)
            return 1;
        pNotifier = std::make_unique<QSocketNotifier>(sock, QSocketNotifier::Read);
        QObject::connect(pNotifier.get(), &QSocketNotifier::activated, [&tray, sock] {
            char buf[2048];
            const ssize_t n = ::recv(sock, buf, sizeof buf, 0);
            if (n > 0)
                tray.showMessage(QStringLiteral("floor"), QString::fromUtf8(buf, n),
                                 QSystemTrayIcon::Information, 10000);
        });
    }
    return QApplication::exec();
}
