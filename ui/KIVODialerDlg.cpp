#include "ui/KIVODialerDlg.h"

#include "app/KIVODialerApp.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/CallRequest.h"
#include "ui/DialNumber.h"
#include "ui/DstHistory.h"
#include "ui/QtText.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include <vector>

CKIVODialerDlg::CKIVODialerDlg(CKIVODialerApp& app) : m_app(app) {
    m_strSrc = app.m_strUser + u"@" + app.m_strPBX;
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildDialog(*this, g_dlgDial);
    setWindowIcon(ResourceIcon(IDR_MAINFRAME));
    OnInitDialog();
}

void CKIVODialerDlg::OnInitDialog() {
    GetDlgItem<QLabel>(*this, IDC_SRC)->setText(ToQString(m_strSrc));
    m_cbDst = GetDlgItem<QComboBox>(*this, IDC_DST);
    LoadDstHistory(*m_cbDst, kSectionDstNo, kDstHistoryMax, ExtractDialNumber(GetClipboardText()));
}

void CKIVODialerDlg::showEvent(QShowEvent* pEvent) {
    QDialog::showEvent(pEvent);
    raise();
    activateWindow();
}

std::u16string CKIVODialerDlg::GetClipboardText() {
    const QClipboard* pClipboard = QGuiApplication::clipboard();
    return pClipboard ? ToU16String(pClipboard->text()) : std::u16string();
}

void CKIVODialerDlg::LoadDstHistory(QComboBox& cb, std::u16string_view section, int nMax,
                                    std::u16string_view strFirst) {
    for (const std::u16string& strItem : ReadDstHistory(m_app.m_platform.profile, section, nMax, strFirst))
        cb.addItem(ToQString(strItem));
    cb.setCurrentIndex(cb.count() > 0 ? 0 : -1);
}

void CKIVODialerDlg::SaveDstHistory(QComboBox& cb, std::u16string_view section, int nMax) {
    std::vector<std::u16string> items;
    for (int i = 0; i < cb.count(); ++i)
        items.push_back(ToU16String(cb.itemText(i)));
    WriteDstHistory(m_app.m_platform.profile, section, nMax, ToU16String(cb.currentText()), items);
}

bool CKIVODialerDlg::Dial() {
    return DialTypedNumber(m_app, ToU16String(m_cbDst->currentText()));
}

void CKIVODialerDlg::accept() {
    // The message boxes run their own loops, in which the tray's commands go on.
    m_bDialing = true;
    const bool bDialed = Dial();
    m_bDialing = false;
    if (!bDialed)
        return;
    SaveDstHistory(*m_cbDst, kSectionDstNo, kDstHistoryMax);
    m_app.AddCallHistory(ToU16String(m_cbDst->currentText()), u"", 0);
    QDialog::accept();
}
