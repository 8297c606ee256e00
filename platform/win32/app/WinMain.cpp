// KIVODialer.exe: the program's Windows entry point. Builds the Win32 services, runs the application
// object's start-up and, for a second instance, its dial. The first instance holds the shared objects
// and registers with the exchange; it has no tray window yet and runs until it is ended.
#include "app/KIVODialerApp.h"
#include "pbxweb/RequestForms.h"
#include "platform/IClock.h"
#include "platform/win32/WinAnsiCodePage.h"
#include "platform/win32/WinEventLog.h"
#include "platform/win32/WinInetHttpTransport.h"
#include "platform/win32/WinInstanceObjects.h"
#include "platform/win32/WinMessageBox.h"
#include "platform/win32/WinRegistryProfile.h"
#include "tray/RegisterDecision.h"

#include <windows.h>

namespace {

// The first instance until the tray window exists: the flag follows m_bLogin as the tray icon's
// updates would publish it, with one registration attempt at start.
void RunFirstInstance(CKIVODialerApp& app) {
    app.PublishLoginState(app.m_bLogin);
    if (HasRegisterSettings(app.m_strUser, app.m_strPass, app.m_strPBX)) {
        std::u16string strMessage;
        app.m_bLogin = app.SendPbxRequest(
            app.m_strPBX, FormatRegistRequest(app.m_strUser, app.m_strPass, app.m_nPortNum, 0), strMessage);
        app.PublishLoginState(app.m_bLogin);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

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
    RunFirstInstance(app);
    return 0;
}
