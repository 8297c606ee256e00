// The floor of the benchmark's working day: a Qt program that does what a user sees KIVODialer do in a
// day and nothing else. It shows the grey icon in the tray; every datagram on the --udp port becomes
// the same balloon the program would show (the same parse, title and text, and so the same font); a
// left or right click opens menus with the same captions; every item opens a dialog of the size the
// program's window of that item had (read from the --sizes file, "KEY WIDTH HEIGHT" lines written by
// the benchmark, KEY being the mouse button times 100 plus the item's position from 1), in the dialogs'
// font, closed with Escape. Like the program, it keeps up to 451 datagrams waiting and shows one a second.
//
//   kivo-bench-dayfloor --udp PORT --account ACCOUNT --sizes FILE
#include "app/TextUtil.h"
#include "notify/MsgQueue.h"
#include "resources/TrayMenus.h"
#include "tray/NotificationText.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

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

// The size the benchmark wrote for the item, or 400 x 300 before it wrote one.
QSize SizeFor(const QString& strFile, int nId) {
    QFile file(strFile);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QList<QByteArray> fields = file.readLine().simplified().split(' ');
            if (fields.size() == 3 && fields[0].toInt() == nId)
                return {fields[1].toInt(), fields[2].toInt()};
        }
    }
    return {400, 300};
}

void RunDialog(const QString& strCaption, QSize size) {
    QDialog dlg;
    dlg.setWindowTitle(strCaption);
    // One icon for every dialog: each new QIcon of an SVG fills the pixmap cache with its own renderings.
    static const QIcon icon(QStringLiteral(":/icons/kivodialer-128.svg"));
    dlg.setWindowIcon(icon);
    dlg.setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));
    auto* pLayout = new QVBoxLayout(&dlg);
    pLayout->addWidget(new QLabel(strCaption, &dlg));
    dlg.setFixedSize(size);
    dlg.exec();
}

std::unique_ptr<QMenu> BuildMenu(const CMenuItemRes* pItems, size_t nItems, int nButton,
                                 const QString& strSizes) {
    auto pMenu = std::make_unique<QMenu>();
    for (size_t i = 0; i < nItems; ++i) {
        QAction* pAction = pMenu->addAction(ToQString(pItems[i].strCaption));
        const int nId = nButton * 100 + int(i) + 1;
        QObject::connect(
            pAction, &QAction::triggered, pMenu.get(),
            [pAction, nId, strSizes] { RunDialog(pAction->text(), SizeFor(strSizes, nId)); },
            Qt::QueuedConnection);
    }
    return pMenu;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    int nPort = 0;
    std::u16string strAccount;
    QString strSizes;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--udp") == 0)
            nPort = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--account") == 0)
            strAccount = Utf8ToU16(argv[i + 1]);
        else if (std::strcmp(argv[i], "--sizes") == 0)
            strSizes = QString::fromLocal8Bit(argv[i + 1]);
    }
    const int sock = OpenUdp(nPort);
    if (sock < 0)
        return 1;

    QSystemTrayIcon tray(QIcon(QStringLiteral(":/icons/kivodialer-135.svg")));
    tray.setToolTip(QStringLiteral("floor"));
    const std::unique_ptr<QMenu> pLeft = BuildMenu(kMenuTrayLeft, std::size(kMenuTrayLeft), 1, strSizes);
    const std::unique_ptr<QMenu> pRight = BuildMenu(kMenuTrayRight, std::size(kMenuTrayRight), 3, strSizes);
    QObject::connect(&tray, &QSystemTrayIcon::activated, [&](QSystemTrayIcon::ActivationReason reason) {
        QMenu* pMenu = reason == QSystemTrayIcon::Context ? pRight.get() : pLeft.get();
        pMenu->popup(QCursor::pos());
        pMenu->activateWindow();
    });
    tray.show();

    // As in the program, every datagram waits its turn, as many as the program's queue keeps (the rest are
    // dropped), and one is shown a second.
    std::deque<std::string> waiting;
    QSocketNotifier notifier(sock, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char buf[2048];
        const ssize_t n = ::recv(sock, buf, sizeof buf, 0);
        if (n > 0 && waiting.size() <= size_t(g_nMsgQueueLimit))
            waiting.emplace_back(buf, size_t(n));
    });
    QTimer tick;
    tick.start(1000);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (waiting.empty())
            return;
        const std::string strDatagram = std::move(waiting.front());
        waiting.pop_front();
        const std::optional<CIncomingCall> call = ParseIncomingCall(Utf8ToU16(strDatagram), strAccount);
        if (!call)
            return;
        const CBalloon balloon = MakeBalloon(call->strBalloonText, call->strBalloonTitle);
        tray.showMessage(ToQString(balloon.strTitle), ToQString(balloon.strText),
                         QSystemTrayIcon::Information, kBalloonTimeoutMs);
    });
    return QApplication::exec();
}
