// The exchange's web pages, opened in the desktop's browser.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "tray/PbxPages.h"

void CKIVODialerWnd::OnPbxPage(int nCommand) {
    if (!m_app.m_bLogin)
        return;
    const std::u16string strAddress =
        PbxPageAddress(nCommand, m_app.m_strPBX, m_app.m_strUser, m_app.m_strPass, m_app.m_platform.codePage);
    if (strAddress.empty())
        return;
    m_shell.OpenInBrowser(strAddress);
}
