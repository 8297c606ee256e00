#include "ui/ConfigDlg.h"

#include "app/KIVODialerApp.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/ConfigFields.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

QLineEdit* Edit(const QDialog& dlg, int nId) {
    return GetDlgItem<QLineEdit>(dlg, nId);
}

} // namespace

CConfigDlg::CConfigDlg(CKIVODialerApp& app)
    : m_strUser(app.m_strUser), m_strPass(app.m_strPass), m_strPBX(app.m_strPBX), m_nCbtime(app.m_nCbtime),
      m_nPortNum(app.m_nPortNum), m_nDblClk(app.m_nDblClk), m_app(app) {
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildDialog(*this, g_dlgConfig);
    setWindowIcon(ResourceIcon(IDR_MAINFRAME));
    OnInitDialog();
}

void CConfigDlg::OnInitDialog() {
    DoDataExchange(false);
    QComboBox* pCombo = GetDlgItem<QComboBox>(*this, IDC_DBLCLK);
    pCombo->clear();
    for (std::u16string_view strAction : g_dblClkActions)
        pCombo->addItem(ToQString(strAction));
    pCombo->setCurrentIndex(DblClkSelection(m_nDblClk, pCombo->count()));
}

bool CConfigDlg::DoDataExchange(bool bSaveAndValidate) {
    QLineEdit* pCbtime = Edit(*this, IDC_CBTIME);
    QLineEdit* pPortNum = Edit(*this, IDC_PORTNUM);
    QComboBox* pDblClk = GetDlgItem<QComboBox>(*this, IDC_DBLCLK);
    if (!bSaveAndValidate) {
        Edit(*this, IDC_USER)->setText(ToQString(m_strUser));
        Edit(*this, IDC_PASS)->setText(ToQString(m_strPass));
        Edit(*this, IDC_PBX)->setText(ToQString(m_strPBX));
        pCbtime->setText(QString::number(m_nCbtime));
        pPortNum->setText(QString::number(m_nPortNum));
        pDblClk->setCurrentIndex(m_nDblClk < pDblClk->count() ? m_nDblClk : -1);
        return true;
    }

    m_strUser = ToU16String(Edit(*this, IDC_USER)->text());
    m_strPass = ToU16String(Edit(*this, IDC_PASS)->text());
    m_strPBX = ToU16String(Edit(*this, IDC_PBX)->text());
    struct Field {
        QLineEdit* pEdit;
        long nMin, nMax;
        long nValue;
    } fields[] = {
        {pCbtime, kCbtimeMin, kCbtimeMax, 0},
        {pPortNum, kPortNumMin, kPortNumMax, 0},
    };
    for (Field& field : fields) {
        if (auto strMessage =
                CheckIntField(ToU16String(field.pEdit->text()), field.nMin, field.nMax, field.nValue)) {
            m_app.AppMessageBox(*strMessage, MB_OK | MB_ICONEXCLAMATION);
            field.pEdit->setFocus(Qt::OtherFocusReason);
            field.pEdit->selectAll();
            return false;
        }
    }
    m_nCbtime = static_cast<int>(fields[0].nValue);
    m_nPortNum = fields[1].nValue;
    m_nDblClk = pDblClk->currentIndex();
    return true;
}

void CConfigDlg::accept() {
    if (!DoDataExchange(true))
        return;
    ApplySettings(m_app, {m_strUser, m_strPass, m_strPBX, m_nCbtime, m_nPortNum, m_nDblClk});
    QDialog::accept();
}
