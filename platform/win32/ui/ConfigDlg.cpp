#include "platform/win32/ui/ConfigDlg.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "resources/ResourceIds.h"
#include "ui/ConfigFields.h"

#include "platform/win32/ui/WinText.h"

CConfigDlg::CConfigDlg(CKIVODialerApp& app)
    : CWinDialog(g_dlgConfig), m_strUser(app.m_strUser), m_strPass(app.m_strPass), m_strPBX(app.m_strPBX),
      m_nCbtime(app.m_nCbtime), m_nPortNum(app.m_nPortNum), m_nDblClk(app.m_nDblClk), m_app(app) {}

BOOL CConfigDlg::OnInitDialog() {
    SetWindowIcons(IDR_MAINFRAME);
    DoDataExchange(false);
    HWND hCombo = GetDlgItem(IDC_DBLCLK);
    SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    for (std::u16string_view strAction : g_dblClkActions)
        SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(strAction).c_str()));
    const int nCount = static_cast<int>(SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
    SendMessageW(hCombo, CB_SETCURSEL, static_cast<WPARAM>(DblClkSelection(m_nDblClk, nCount)), 0);
    return TRUE;
}

bool CConfigDlg::DoDataExchange(bool bSaveAndValidate) {
    HWND hDblClk = GetDlgItem(IDC_DBLCLK);
    if (!bSaveAndValidate) {
        SetDlgItemText(IDC_USER, m_strUser);
        SetDlgItemText(IDC_PASS, m_strPass);
        SetDlgItemText(IDC_PBX, m_strPBX);
        SetDlgItemText(IDC_CBTIME, ToU16Decimal(m_nCbtime));
        SetDlgItemText(IDC_PORTNUM, ToU16Decimal(m_nPortNum));
        SendMessageW(hDblClk, CB_SETCURSEL, static_cast<WPARAM>(m_nDblClk), 0);
        return true;
    }

    m_strUser = GetDlgItemText(IDC_USER);
    m_strPass = GetDlgItemText(IDC_PASS);
    m_strPBX = GetDlgItemText(IDC_PBX);
    struct Field {
        int nId;
        long nMin, nMax;
        long nValue;
    } fields[] = {
        {IDC_CBTIME, kCbtimeMin, kCbtimeMax, 0},
        {IDC_PORTNUM, kPortNumMin, kPortNumMax, 0},
    };
    for (Field& field : fields) {
        if (auto strMessage =
                CheckIntField(GetDlgItemText(field.nId), field.nMin, field.nMax, field.nValue)) {
            m_app.AppMessageBox(*strMessage, MB_OK | MB_ICONEXCLAMATION);
            HWND hEdit = GetDlgItem(field.nId);
            SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hEdit), TRUE);
            SendMessageW(hEdit, EM_SETSEL, 0, -1);
            return false;
        }
    }
    m_nCbtime = static_cast<int>(fields[0].nValue);
    m_nPortNum = fields[1].nValue;
    m_nDblClk = static_cast<int>(SendMessageW(hDblClk, CB_GETCURSEL, 0, 0));
    return true;
}

void CConfigDlg::OnOK() {
    if (!DoDataExchange(true))
        return;
    ApplySettings(m_app, {m_strUser, m_strPass, m_strPBX, m_nCbtime, m_nPortNum, m_nDblClk});
    EndDialog(IDOK);
}
