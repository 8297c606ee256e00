#include "platform/win32/ui/AboutDlg.h"

#include "app/AboutVersion.h"
#include "app/KIVODialerApp.h"
#include "resources/ResourceIds.h"

#include "platform/win32/WinVersionInfo.h"

CAboutDlg::CAboutDlg(CKIVODialerApp& app)
    : CWinDialog(g_dlgAbout), m_strProduct(app.m_strProductName + u" " + app.m_strEdition) {}

BOOL CAboutDlg::OnInitDialog() {
    SetWindowIcons(IDR_MAINFRAME);
    const std::u16string strProductVersion = ReadProductVersion();
    if (!strProductVersion.empty())
        m_strVersion = AboutVersionLine(strProductVersion);
    SetDlgItemText(IDC_VERSION, m_strVersion);
    SetDlgItemText(IDC_PRODUCT, m_strProduct);
    return TRUE;
}
