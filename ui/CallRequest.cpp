#include "ui/CallRequest.h"

#include "app/KIVODialerApp.h"
#include "pbxweb/RequestForms.h"

bool SendCallRequest(CKIVODialerApp& app, std::u16string_view strNumber) {
    const std::u16string strPath = FormatCallRequest(app.m_strUser, app.m_strPass, strNumber, app.m_nCbtime);
    std::u16string strMessage;
    const bool bAccepted = app.SendPbxRequest(app.m_strPBX, strPath, strMessage);
    app.AppMessageBox(strMessage, MB_OK | (bAccepted ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    return bAccepted;
}
