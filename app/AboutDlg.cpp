#include "app/AboutDlg.h"

#include "app/AboutVersion.h"
#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/QtText.h"

#include <QLabel>

CAboutDlg::CAboutDlg(CKIVODialerApp& app) : m_strProduct(app.m_strProductName + u" " + app.m_strEdition) {
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildDialog(*this, g_dlgAbout);
    setWindowIcon(ResourceIcon(IDR_MAINFRAME));
    OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
    // The version resource of the home platform is the project version here.
    m_strVersion = AboutVersionLine(U16(KIVO_VERSION));
    GetDlgItem<QLabel>(*this, IDC_VERSION)->setText(ToQString(m_strVersion));
    GetDlgItem<QLabel>(*this, IDC_PRODUCT)->setText(ToQString(m_strProduct));
}
