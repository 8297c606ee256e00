// The settings dialog (template 132, modal): account, password, notification port, ring time, exchange
// address and the tray icon's double-click action.
#pragma once

#include "platform/win32/ui/WinDialog.h"

#include <string>

class CKIVODialerApp;

class CConfigDlg : public CWinDialog {
public:
    // Takes a copy of the application's six settings.
    explicit CConfigDlg(CKIVODialerApp& app);

    // Moves the six values between the members and the controls. Reading stops at the first field
    // that fails its check, after showing its message and selecting its text; returns false then.
    bool DoDataExchange(bool bSaveAndValidate);

    std::u16string m_strUser;
    std::u16string m_strPass;
    std::u16string m_strPBX;
    int m_nCbtime;
    long m_nPortNum;
    int m_nDblClk;

protected:
    BOOL OnInitDialog() override;
    // OK: check the fields, then store the settings in the application and the profile and close.
    void OnOK() override;

private:
    CKIVODialerApp& m_app;
};
