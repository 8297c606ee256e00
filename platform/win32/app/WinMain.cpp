// KIVODialer.exe: the program's Windows entry point. Builds the Win32 services, runs the application
// object's start-up and, for a second instance, its dial; the first instance then runs the tray
// controller in its hidden window until the user exits.
#include "app/KIVODialerApp.h"
#include "platform/IClock.h"
#include "platform/win32/WinAnsiCodePage.h"
#include "platform/win32/WinEventLog.h"
#include "platform/win32/WinInetHttpTransport.h"
#include "platform/win32/WinInstanceObjects.h"
#include "platform/win32/WinMessageBox.h"
#include "platform/win32/WinRegistryProfile.h"
#include "platform/win32/WinTrayShell.h"
#include "tray/KIVODialerWnd.h"

// After the core's headers: their own names for the tray's messages and operations come before the
// system's macros of the same names, which the windows bring with <windows.h>.
#include "platform/win32/ui/WinTrayWindows.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR pszCmdLine, int) {
    // The command line after the program name, as the system hands it over.
    const std::wstring strCmdLineW = pszCmdLine ? pszCmdLine : L"";
    const std::u16string strCmdLine(strCmdLineW.begin(), strCmdLineW.end());

    CWinRegistryProfile profile;
    CWinInetHttpTransport http;
    CWinEventLog eventLog;
    CWinMessageBox messageBox;
    CWinInstanceObjects instance(u"KIVODialer");
    CWinAnsiCodePage codePage;
    CSystemClock clock;
    CKIVODialerApp app(CPlatform{profile, http, eventLog, messageBox, instance, instance, codePage, clock});

    if (!app.InitInstance(strCmdLine))
        return 0;

    CWinTrayWindows windows(app);
    CWinTrayShell shell(windows, [&windows](MSG& msg) { return windows.PreTranslateMessage(msg); });
    if (!shell.Create())
        return 1;
    CKIVODialerWnd wnd(app, shell);
    if (!wnd.CreateMainWindow())
        return 1;
    app.m_pMainWnd = &wnd;
    const int nResult = shell.RunMessageLoop();
    // The windows the application keeps go with it, while the controller they listen to still exists;
    // the call history window saves its rectangle.
    DestroyCallingWindows(app);
    app.m_pMainWnd = nullptr;
    return nResult;
}
