// The exchange's web pages, opened in the desktop's browser.
#include "tray/KIVODialerWnd.h"

#include "app/KIVODialerApp.h"
#include "tray/PbxPages.h"

#include <QDesktopServices>
#include <QUrl>

void CKIVODialerWnd::OnPbxPage(int nCommand) {
    if (!m_app.m_bLogin)
        return;
    const std::u16string strAddress =
        PbxPageAddress(nCommand, m_app.m_strPBX, m_app.m_strUser, m_app.m_strPass, m_app.m_platform.codePage);
    if (strAddress.empty())
        return;
    // The address is already encoded: hand its bytes over unchanged. xdg-open's result, like the
    // shell's elsewhere, is not looked at.
    const QByteArray bytes = QString::fromUtf16(strAddress.data(), qsizetype(strAddress.size())).toUtf8();
    QDesktopServices::openUrl(QUrl::fromEncoded(bytes, QUrl::TolerantMode));
}
