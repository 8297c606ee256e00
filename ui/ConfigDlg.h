// The settings dialog: account, password, notification port, ring time, exchange address and the
// tray icon's double-click action.
#pragma once

#include <QDialog>

#include <string>

class CKIVODialerApp;

class CConfigDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog from template 132 with a copy of the application's six settings.
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

public slots:
    // OK: check the fields, then store the settings in the application and the profile and close.
    void accept() override;

private:
    void OnInitDialog();

    CKIVODialerApp& m_app;
};
