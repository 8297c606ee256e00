// kivo-sni-host: the StatusNotifierWatcher and a host panel on the session bus, for the desktop tests.
// Prints "ready" once the watcher's name is owned; see SniHost.h for what it reports and reads.
#include "SniHost.h"
#include "SniTypes.h"
#include "SniWatcher.h"

#include <QApplication>
#include <QDBusConnection>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    RegisterSniTypes();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Report(QStringLiteral("error no session bus"));
        return 1;
    }
    CSniWatcher watcher(bus);
    CSniHost host(bus, watcher);
    if (!watcher.Start()) {
        Report(QStringLiteral("error org.kde.StatusNotifierWatcher is taken"));
        return 1;
    }
    // The host's own name, as panels register one.
    bus.registerService(
        QStringLiteral("org.kde.StatusNotifierHost-%1").arg(QCoreApplication::applicationPid()));
    host.show();
    Report(QStringLiteral("ready"));
    return QApplication::exec();
}
