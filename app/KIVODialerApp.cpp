#include "app/KIVODialerApp.h"

#include "app/TelUri.h"
#include "pbxweb/RequestForms.h"

CKIVODialerApp::CKIVODialerApp(CPlatform platform, std::u16string strAppName)
    : m_platform(platform), m_strAppName(std::move(strAppName)),
      m_webClient(platform.http, platform.eventLog, platform.codePage) {}

void CKIVODialerApp::LoadSettings() {
    m_strUser = GetProfileString(kSectionSettings, u"User");
    m_strPass = GetProfileString(kSectionSettings, u"Pass");
    m_strPBX = GetProfileString(kSectionSettings, u"PBX");
    m_nPortNum = GetProfileInt(kSectionSettings, u"PortNum", 10640);
    m_nCbtime = GetProfileInt(kSectionSettings, u"Cbtime", 10);
    m_nDblClk = GetProfileInt(kSectionSettings, u"DblClk", 0);
    if (m_nDblClk < 0 || m_nDblClk > 4)
        m_nDblClk = 0;
}

bool CKIVODialerApp::InitInstance(std::u16string_view strCmdLine) {
    LoadSettings();
    if (IsSecondInstance()) {
        DialAsSecondInstance(strCmdLine);
        return false;
    }
    m_bLogin = true;
    // Nothing was read and nothing will be stored: the user hears it once, and the program goes on
    // with the defaults, which register nowhere.
    if (const std::u16string strPath = m_platform.profile.UnusablePath(); !strPath.empty())
        AppMessageBox(UnusableProfileMessage(strPath), MB_ICONERROR);
    return true;
}

void CKIVODialerApp::DialAsSecondInstance(std::u16string_view strCmdLine) {
    if (strCmdLine.empty())
        return;
    const std::u16string strNumber = FilterDialDigits(NumberFromCommandLine(strCmdLine));

    // A flag that cannot be read is taken as "not logged in": nothing is sent.
    uint32_t nFlag = 0;
    if (!m_platform.loginFlag.Read(nFlag))
        nFlag = 0;
    if (nFlag == 0) {
        AppMessageBox(u"KIVO-Dialerがログイン状態ではないため、発信できませんでした。", MB_ICONERROR);
        return;
    }
    if (m_strUser.empty() || m_strPass.empty() || m_strPBX.empty()) {
        AppMessageBox(
            u"KIVO-PBXとの接続情報が取得できませんでした。\nKIVO-Dialerを再インストールしてください。",
            MB_ICONERROR);
        return;
    }
    std::u16string strMessage;
    const std::u16string strPath = FormatCallRequest(m_strUser, m_strPass, strNumber, m_nCbtime);
    if (!SendPbxRequest(m_strPBX, strPath, strMessage))
        AppMessageBox(strMessage, MB_OK);
}

bool CKIVODialerApp::SendPbxRequest(std::u16string_view server, std::u16string_view path,
                                    std::u16string& message) {
    return m_webClient.SendPbxRequest(server, path, message);
}

bool CKIVODialerApp::PublishLoginState(bool bValue) {
    m_platform.loginFlag.Write(bValue ? 1u : 0u);
    return true;
}

bool CKIVODialerApp::AddCallHistory(const std::u16string& strNumber, const std::u16string& strName,
                                    uint16_t nMode) {
    if (!m_pMainWnd)
        return false;
    return m_pMainWnd->AddRecord(strNumber, strName, nMode);
}

const std::list<CdrRecord>* CKIVODialerApp::GetCdrList() const {
    return m_pMainWnd ? &m_pMainWnd->GetCdrList() : nullptr;
}

bool CKIVODialerApp::IsSecondInstance() {
    return m_platform.singleInstance.IsSecondInstance();
}

int CKIVODialerApp::GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) {
    return m_platform.profile.GetProfileInt(section, entry, nDefault);
}

std::u16string CKIVODialerApp::GetProfileString(std::u16string_view section, std::u16string_view entry,
                                                std::u16string_view strDefault) {
    return m_platform.profile.GetProfileString(section, entry, strDefault);
}

bool CKIVODialerApp::WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) {
    return m_platform.profile.WriteProfileInt(section, entry, nValue);
}

bool CKIVODialerApp::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                        std::u16string_view value) {
    return m_platform.profile.WriteProfileString(section, entry, value);
}

int CKIVODialerApp::AppMessageBox(std::u16string_view text, unsigned nType) {
    return m_platform.messageBox.MessageBox(text, m_strAppName, nType);
}

std::u16string UnusableProfileMessage(std::u16string_view strPath) {
    return u"設定ファイルを使用できませんでした。(" + std::u16string(strPath) +
           u")\n設定ファイルの場所にファイル以外のものがあります。";
}

std::u16string FilterDialDigits(std::u16string_view text) {
    std::u16string out;
    for (char16_t ch : text)
        if ((ch >= u'0' && ch <= u'9') || ch == u'*')
            out.push_back(ch);
    return out;
}
