#include "ui/KIVODialerCdrDlg.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "platform/qt/DialogBuilder.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "ui/CallRequest.h"
#include "ui/CdrRows.h"
#include "ui/CdrWindowRect.h"
#include "ui/QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>

namespace {

constexpr int kColumnCount = 4;
// Room the last column leaves for the list's vertical scroll bar.
constexpr int kScrollBarRoom = 20;

// The record's text as it was received, for calling back.
constexpr int kStoredTextRole = Qt::UserRole;

// A cell shows the record's text with its invisible format characters as "?" (a caller's number must
// read as it will be dialled); the text itself stays with the cell.
QTableWidgetItem* NewCell(std::u16string_view text) {
    auto* pItem = new QTableWidgetItem(ToQString(ShowFormatChars(text)));
    pItem->setData(kStoredTextRole, ToQString(text));
    pItem->setToolTip(pItem->text()); // info tip for a cut-off cell
    return pItem;
}

} // namespace

CKIVODialerCdrDlg::CKIVODialerCdrDlg(CKIVODialerApp& app, EDisplayKind kind)
    : m_app(app), m_bKeepsRect(kind != EDisplayKind::Wayland) {
    setAttribute(Qt::WA_QuitOnClose, false);
    BuildDialog(*this, g_dlgCdr);
    OnInitDialog();
    m_pHistoryOwner = m_app.m_pMainWnd;
    if (m_pHistoryOwner)
        m_pHistoryOwner->AddHistoryListener(*this);
}

CKIVODialerCdrDlg::~CKIVODialerCdrDlg() {
    if (m_pHistoryOwner)
        m_pHistoryOwner->RemoveHistoryListener(*this);
    if (!m_bKeepsRect)
        return;
    // The client rectangle: Qt knows the frame only once a window manager has decorated the window,
    // and the client rectangle restores exactly.
    const QRect rc = geometry();
    WriteCdrRect(m_app.m_platform.profile,
                 {rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()});
}

void CKIVODialerCdrDlg::OnInitDialog() {
    m_list = GetDlgItem<QTableWidget>(*this, IDC_CDR_LIST);
    LoadAccelerators();
    InsertColumns();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    setWindowIcon(ResourceIcon(IDR_MAINFRAME));
    // Columns can be neither clicked nor resized; the titles stay as readable as when enabled.
    QHeaderView* pHeader = m_list->horizontalHeader();
    QPalette pal = pHeader->palette();
    for (QPalette::ColorRole role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, pal.color(QPalette::Active, role));
    pHeader->setPalette(pal);
    pHeader->setEnabled(false);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int nRow, int) { OnDblClk(nRow); });
    RefreshList();
    RestoreRect();
}

void CKIVODialerCdrDlg::LoadAccelerators() {
    for (const CAccelEntry& accel : g_accelCdr) {
        const QKeySequence key((accel.bControl ? Qt::CTRL : Qt::KeyboardModifiers()) | Qt::Key(accel.chKey));
        auto* pShortcut = new QShortcut(key, this);
        pShortcut->setContext(Qt::WindowShortcut);
        const int nCommand = accel.nCommand;
        connect(pShortcut, &QShortcut::activated, this, [this, nCommand] { OnCommand(nCommand); });
    }
}

void CKIVODialerCdrDlg::InsertColumns() {
    m_list->setColumnCount(kColumnCount);
    const QFontMetrics fm = m_list->fontMetrics();
    for (int i = 0; i < kColumnCount; ++i) {
        const CCdrColumn& col = g_cdrColumns[i];
        auto* pTitle = new QTableWidgetItem(ToQString(col.strTitle));
        pTitle->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_list->setHorizontalHeaderItem(i, pTitle);
        const int nWidth = i < kColumnCount - 1
                               ? fm.horizontalAdvance(ToQString(col.strSample) + QStringLiteral("XXX"))
                               : InitialLastColumnWidth(m_list->columnWidth(0), m_list->columnWidth(1),
                                                        m_list->columnWidth(2));
        m_list->setColumnWidth(i, nWidth);
    }
}

int CKIVODialerCdrDlg::FixedColumnsWidth() const {
    return m_list->columnWidth(0) + m_list->columnWidth(1) + m_list->columnWidth(2);
}

void CKIVODialerCdrDlg::RefreshList() {
    FillList(m_app.GetCdrList());
}

void CKIVODialerCdrDlg::OnCallHistoryChanged(const std::list<CdrRecord>& records) {
    FillList(&records);
}

void CKIVODialerCdrDlg::FillList(const std::list<CdrRecord>* pRecords) {
    m_list->setUpdatesEnabled(false);
    m_list->setRowCount(0);
    if (pRecords) {
        for (const CdrRecord& rec : *pRecords) {
            m_list->insertRow(0);
            m_list->setItem(0, 0, NewCell(CdrKindText(rec.nMode)));
            m_list->setItem(0, 1, NewCell(rec.strTime));
            m_list->setItem(0, 2, NewCell(rec.strNumber));
            m_list->setItem(0, 3, NewCell(rec.strName));
        }
    }
    if (m_list->rowCount() > 0)
        m_list->setColumnWidth(3, frameGeometry().width() - FixedColumnsWidth() - kScrollBarRoom);
    m_list->setUpdatesEnabled(true);
}

void CKIVODialerCdrDlg::RestoreRect() {
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!m_bKeepsRect || !pScreen)
        return;
    const QRect screen = pScreen->geometry();
    const std::optional<CScreenRect> rc =
        ReadCdrRect(m_app.m_platform.profile, screen.width(), screen.height());
    if (!rc)
        return;
    setGeometry(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top);
    raise();
    show();
}

void CKIVODialerCdrDlg::resizeEvent(QResizeEvent* pEvent) {
    QDialog::resizeEvent(pEvent);
    if (!m_list)
        return;
    m_list->setGeometry(0, 0, width(), height());
    m_list->setColumnWidth(3, width() - FixedColumnsWidth() - kScrollBarRoom);
}

void CKIVODialerCdrDlg::keyPressEvent(QKeyEvent* pEvent) {
    // Enter ends the dialog as OK does; there is no button to take it.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}

void CKIVODialerCdrDlg::OnCommand(int nCommand) {
    if (nCommand == ID_CDR_COPY)
        CopySelected();
}

void CKIVODialerCdrDlg::CopySelected() {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return;
    const int nRow = rows.front().row();
    QString strCells[kColumnCount];
    for (int i = 0; i < kColumnCount; ++i)
        if (const QTableWidgetItem* pItem = m_list->item(nRow, i))
            strCells[i] = pItem->text();
    const std::u16string strText = JoinCdrRow(ToU16String(strCells[0]), ToU16String(strCells[1]),
                                              ToU16String(strCells[2]), ToU16String(strCells[3]));
    if (QClipboard* pClipboard = QGuiApplication::clipboard())
        pClipboard->setText(ToQString(strText));
}

void CKIVODialerCdrDlg::OnDblClk(int nRow) {
    if (m_list->selectionModel()->selectedRows().size() != 1)
        return;
    const QTableWidgetItem* pNumber = m_list->item(nRow, 2);
    const QTableWidgetItem* pName = m_list->item(nRow, 3);
    const std::u16string strNumber = pNumber ? ToU16String(pNumber->text()) : std::u16string();
    const std::u16string strName = pName ? ToU16String(pName->text()) : std::u16string();
    const int nAnswer = m_app.m_platform.messageBox.MessageBox(CallBackPrompt(strNumber, strName), u"確認",
                                                               MB_YESNO | MB_ICONINFORMATION);
    if (nAnswer != IDYES)
        return;
    // The number as the record holds it, as it came.
    SendCallRequest(m_app, pNumber ? ToU16String(pNumber->data(kStoredTextRole).toString()) : strNumber);
}
