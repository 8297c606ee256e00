// The toolkit's floor for the benchmark: a Qt program that does nothing but show a tray icon (the
// program's own grey icon). With --udp PORT it also shows every datagram received on PORT at once as a
// balloon, the least any program can take from a datagram to a balloon.

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

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
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QSystemTrayIcon tray(QIcon(QStringLiteral(":/icons/kivodialer-135.svg")));
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();

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
