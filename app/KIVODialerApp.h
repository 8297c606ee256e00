// The application object: the settings every part reads, the login state, start-up and the
// second instance's dial. Portable: what it needs of the platform comes in through CPlatform.
#pragma once

#include "app/IMainWnd.h"
#include "pbxweb/PbxWebClient.h"
#include "platform/IClock.h"
#include "platform/ICodePage.h"
#include "platform/IEventLog.h"
#include "platform/IHttpTransport.h"
#include "platform/IInstanceObjects.h"
#include "platform/IMessageBox.h"
#include "platform/IProfile.h"

#include <list>
#include <string>
#include <string_view>

class CKIVODialerDlg;
class CKIVODialerCdrDlg;

// The platform services the application object and the parts under it use.
struct CPlatform {
    IProfile& profile;
    IHttpTransport& http;
    IEventLog& eventLog;
    IMessageBox& messageBox;
    ISharedLoginFlag& loginFlag;
    ISingleInstance& singleInstance;
    ICodePage932& codePage;
    IClock& clock;
};

// Profile section and entry names of the connection settings.
inline constexpr std::u16string_view kSectionSettings = u"Settings";

class CKIVODialerApp {
public:
    explicit CKIVODialerApp(CPlatform platform, std::u16string strAppName = u"KIVODialer");

    CKIVODialerApp(const CKIVODialerApp&) = delete;
    CKIVODialerApp& operator=(const CKIVODialerApp&) = delete;

    // Start-up in order: settings, shared objects, single-instance check. True for the first
    // instance, which goes on to create its main window; false when the program is to end (a second
    // instance, after its dial). strCmdLine is the command line after the program name.
    bool InitInstance(std::u16string_view strCmdLine);

    // Reads section "Settings" into the six fields and normalises "DblClk".
    void LoadSettings();

    bool SendPbxRequest(std::u16string_view server, std::u16string_view path, std::u16string& message);
    bool PublishLoginState(bool bValue);
    bool AddCallHistory(const std::u16string& strNumber, const std::u16string& strName, uint16_t nMode);
    // The main window's call history, or null when there is no main window.
    const std::list<CdrRecord>* GetCdrList() const;
    bool IsSecondInstance();

    int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault);
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view strDefault = {});
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue);
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value);

    // Message box with the application name as caption.
    int AppMessageBox(std::u16string_view text, unsigned nType);

    CPlatform m_platform;
    std::u16string m_strAppName;

    std::u16string m_strProductName = u"KIVODialer";
    std::u16string m_strEdition = u"Desktop";
    std::u16string m_strUser;
    std::u16string m_strPass;
    std::u16string m_strPBX;
    int m_nCbtime = 10;
    int m_nPortNum = 10640;
    int m_nDblClk = 0;
    bool m_bLogin = false;
    CKIVODialerDlg* m_pDialDlg = nullptr;
    CKIVODialerCdrDlg* m_pCdrDlg = nullptr;
    IMainWnd* m_pMainWnd = nullptr;

private:
    void DialAsSecondInstance(std::u16string_view strCmdLine);

    CPbxWebClient m_webClient;
};

// The message of a profile that cannot be used, naming where it is.
std::u16string UnusableProfileMessage(std::u16string_view strPath);

// The digits and asterisks of a command line, in their order.
std::u16string FilterDialDigits(std::u16string_view text);
