// KIVODialer: the program's entry point. Builds the platform objects, runs the application object's
// start-up and, for the first instance, the tray controller until the user exits.
#include "app/KIVODialerApp.h"
#include "platform/IClock.h"
#include "platform/posix/IconvCodePage932.h"
#include "platform/posix/PosixHttpTransport.h"
#include "platform/posix/PosixInstanceObjects.h"
#include "platform/posix/SyslogEventLog.h"
#include "platform/qt/EndSignalNotifier.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtProfile.h"
#include "tray/KIVODialerWnd.h"
#include "tray/QtTrayShell.h"
#include "ui/WindowOpeners.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <csignal>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    // A tray program: closing its last dialog must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every window and message box carries the program's icon, as task bars and switchers show it.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kivodialer-128.svg")));

    // The command line after the program name, as one text.
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    const std::u16string strCmdLine = args.join(QLatin1Char(' ')).toStdU16String();

    CQtProfile profile;
    CPosixHttpTransport http;
    CSyslogEventLog eventLog;
    CQtMessageBox messageBox;
    CPosixInstanceObjects instance("KIVODialer");
    CIconvCodePage932 codePage;
    CSystemClock clock;
    CKIVODialerApp app(CPlatform{profile, http, eventLog, messageBox, instance, instance, codePage, clock});

    if (!app.InitInstance(strCmdLine))
        return 0;

    CQtTrayShell shell(app);
    CKIVODialerWnd wnd(app, shell);
    // The end of the session or a kill request ends the program the way the exit command's Yes does:
    // the channel stops, the history is saved and the icon goes.
    CEndSignalNotifier endSignals({SIGTERM, SIGHUP, SIGINT});
    // A request that a stalled exchange holds up is given up at once when the end comes.
    http.SetAbandonFd(endSignals.PendingEndFd());
    QObject::connect(&endSignals, &CEndSignalNotifier::EndRequested, &shell, [&wnd] { wnd.DestroyWindow(); });
    if (!wnd.CreateMainWindow())
        return 1;
    app.m_pMainWnd = &wnd;

    const int nResult = QApplication::exec();
    // The windows the application keeps go with it; the call history window saves its rectangle.
    DestroyCallingWindows(app);
    app.m_pMainWnd = nullptr;
    return nResult;
}
