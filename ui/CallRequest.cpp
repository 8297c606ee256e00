#include "ui/CallRequest.h"

#include "app/KIVODialerApp.h"
#include "pbxweb/RequestForms.h"
#include "ui/DialNumber.h"

bool SendCallRequest(CKIVODialerApp& app, std::u16string_view strNumber) {
    const std::u16string strPath = FormatCallRequest(app.m_strUser, app.m_strPass, strNumber, app.m_nCbtime);
    std::u16string strMessage;
    const bool bAccepted = app.SendPbxRequest(app.m_strPBX, strPath, strMessage);
    app.AppMessageBox(strMessage, MB_OK | (bAccepted ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    return bAccepted;
}

bool DialTypedNumber(CKIVODialerApp& app, std::u16string_view strTyped) {
    const std::u16string strNumber = MakeDialNumber(strTyped);
    if (strNumber.empty()) {
        app.AppMessageBox(
            u"発信先に有効な電話番号が指定されていません。\n発信先に電話番号を入力してください。",
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return SendCallRequest(app, strNumber);
}
