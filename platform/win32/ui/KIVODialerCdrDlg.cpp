#include "platform/win32/ui/KIVODialerCdrDlg.h"

#include "app/KIVODialerApp.h"
#include "app/TextUtil.h"
#include "resources/ResourceIds.h"
#include "ui/CallRequest.h"
#include "ui/CdrRows.h"
#include "ui/CdrWindowRect.h"

#include "platform/win32/ui/WinText.h"

#include <cstring>

namespace {

constexpr int kColumnCount = 4;
// Room the last column leaves for the list's vertical scroll bar.
constexpr int kScrollBarRoom = 20;

HACCEL CreateCdrAccelerators() {
    std::vector<ACCEL> table;
    for (const CAccelEntry& entry : g_accelCdr)
        table.push_back({static_cast<BYTE>(FVIRTKEY | (entry.bControl ? FCONTROL : 0)),
                         static_cast<WORD>(entry.chKey), static_cast<WORD>(entry.nCommand)});
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void SetCell(HWND hList, int nItem, int nColumn, std::u16string_view text) {
    std::wstring strShown = ToWide(ShowFormatChars(text));
    LVITEMW item{};
    item.iSubItem = nColumn;
    item.pszText = strShown.data();
    SendMessageW(hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
}

} // namespace

CKIVODialerCdrDlg::CKIVODialerCdrDlg(CKIVODialerApp& app) : CWinDialog(g_dlgCdr), m_app(app) {
    m_pHistoryOwner = m_app.m_pMainWnd;
    if (m_pHistoryOwner)
        m_pHistoryOwner->AddHistoryListener(*this);
}

CKIVODialerCdrDlg::~CKIVODialerCdrDlg() {
    if (m_pHistoryOwner)
        m_pHistoryOwner->RemoveHistoryListener(*this);
    // The window goes before the table its key filter uses.
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    if (m_hAccel)
        DestroyAcceleratorTable(m_hAccel);
}

BOOL CKIVODialerCdrDlg::OnInitDialog() {
    m_list = GetDlgItem(IDC_CDR_LIST);
    m_hAccel = CreateCdrAccelerators();
    InsertColumns();
    const DWORD dwExStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, dwExStyle, dwExStyle);
    SetWindowIcons(IDR_MAINFRAME);
    // Columns can be neither clicked nor resized.
    EnableWindow(reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0)), FALSE);
    RefreshList();
    RestoreRect();
    // The dialog's first size change came before the list was known: the list fills the window from
    // the start, its last column keeps the width just given to it.
    RECT client{};
    GetClientRect(m_hWnd, &client);
    MoveWindow(m_list, 0, 0, client.right, client.bottom, FALSE);
    return TRUE;
}

void CKIVODialerCdrDlg::InsertColumns() {
    int nGiven[kColumnCount] = {};
    for (int i = 0; i < kColumnCount; ++i) {
        const CCdrColumn& col = g_cdrColumns[i];
        if (i < kColumnCount - 1) {
            const std::wstring strSample = ToWide(col.strSample) + L"XXX";
            nGiven[i] = static_cast<int>(
                SendMessageW(m_list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(strSample.c_str())));
        } else {
            nGiven[i] = InitialLastColumnWidth(nGiven[0], nGiven[1], nGiven[2]);
        }
        std::wstring strTitle = ToWide(col.strTitle);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = nGiven[i];
        column.pszText = strTitle.data();
        column.iSubItem = i;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

int CKIVODialerCdrDlg::FixedColumnsWidth() const {
    int nWidth = 0;
    for (int i = 0; i < kColumnCount - 1; ++i)
        nWidth += static_cast<int>(SendMessageW(m_list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    return nWidth;
}

void CKIVODialerCdrDlg::RefreshList() {
    FillList(m_app.GetCdrList());
}

void CKIVODialerCdrDlg::OnCallHistoryChanged(const std::list<CdrRecord>& records) {
    FillList(&records);
}

void CKIVODialerCdrDlg::FillList(const std::list<CdrRecord>* pRecords) {
    if (!m_list)
        return;
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    m_rows.clear();
    if (pRecords) {
        // Each record goes in at the top, so the newest ends up in the first row.
        m_rows.assign(pRecords->rbegin(), pRecords->rend());
        for (auto it = pRecords->begin(); it != pRecords->end(); ++it) {
            std::wstring strKind = ToWide(CdrKindText(it->nMode));
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = 0;
            item.pszText = strKind.data();
            const int nItem =
                static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            SetCell(m_list, nItem, 1, it->strTime);
            SetCell(m_list, nItem, 2, it->strNumber);
            SetCell(m_list, nItem, 3, it->strName);
        }
    }
    if (SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        RECT rc{};
        GetWindowRect(m_hWnd, &rc);
        SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 3,
                     MAKELPARAM(rc.right - rc.left - FixedColumnsWidth() - kScrollBarRoom, 0));
    }
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void CKIVODialerCdrDlg::RestoreRect() {
    const std::optional<CScreenRect> rc =
        ReadCdrRect(m_app.m_platform.profile, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!rc)
        return;
    SetWindowPos(m_hWnd, HWND_TOP, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top,
                 SWP_SHOWWINDOW);
}

void CKIVODialerCdrDlg::OnSize(int cx, int cy) {
    if (!m_list)
        return;
    MoveWindow(m_list, 0, 0, cx, cy, TRUE);
    SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(cx - FixedColumnsWidth() - kScrollBarRoom, 0));
}

void CKIVODialerCdrDlg::OnDestroy() {
    RECT rc{};
    GetWindowRect(m_hWnd, &rc);
    WriteCdrRect(m_app.m_platform.profile, {rc.left, rc.top, rc.right, rc.bottom});
}

bool CKIVODialerCdrDlg::PreTranslateMessage(MSG& msg) {
    if (!m_hWnd || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)))
        return false;
    if (m_hAccel && TranslateAcceleratorW(m_hWnd, m_hAccel, &msg))
        return true;
    return IsDialogMessageW(m_hWnd, &msg) != FALSE;
}

bool CKIVODialerCdrDlg::OnCommand(int nId, int) {
    if (nId != ID_CDR_COPY)
        return false;
    CopySelected();
    return true;
}

bool CKIVODialerCdrDlg::OnNotify(const NMHDR& hdr, LRESULT& lResult) {
    if (hdr.idFrom != IDC_CDR_LIST || hdr.code != NM_DBLCLK)
        return false;
    CallBack(reinterpret_cast<const NMITEMACTIVATE&>(hdr).iItem);
    lResult = 0;
    return true;
}

int CKIVODialerCdrDlg::SelectedItem() const {
    if (SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0) != 1)
        return -1;
    return static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::u16string CKIVODialerCdrDlg::CellText(int nItem, int nColumn) const {
    // Grows the buffer until the text fits: LVM_GETITEMTEXT does not tell the length.
    for (size_t nSize = 256;; nSize *= 2) {
        std::wstring text(nSize, L'\0');
        LVITEMW item{};
        item.iSubItem = nColumn;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(nSize);
        const size_t nGot = static_cast<size_t>(SendMessageW(
            m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (nGot + 1 < nSize) {
            text.resize(nGot);
            return FromWide(text);
        }
    }
}

void CKIVODialerCdrDlg::CopySelected() {
    const int nItem = SelectedItem();
    if (nItem < 0)
        return;
    const std::u16string strText =
        JoinCdrRow(CellText(nItem, 0), CellText(nItem, 1), CellText(nItem, 2), CellText(nItem, 3));
    const size_t cb = (strText.size() + 1) * sizeof(char16_t);
    HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
    if (!hMem)
        return;
    if (void* p = GlobalLock(hMem)) {
        std::memcpy(p, strText.c_str(), cb);
        GlobalUnlock(hMem);
    }
    if (!OpenClipboard(m_hWnd)) {
        GlobalFree(hMem);
        return;
    }
    // Once the clipboard has the memory it owns it.
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, hMem))
        GlobalFree(hMem);
    CloseClipboard();
}

void CKIVODialerCdrDlg::CallBack(int nItem) {
    if (m_bCallingBack || SelectedItem() < 0 || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return;
    // The number as the record holds it, as it came; taken now, since a call received while the
    // question is open rebuilds the rows under it.
    const std::u16string strNumber = m_rows[static_cast<size_t>(nItem)].strNumber;
    const std::u16string strPrompt = CallBackPrompt(CellText(nItem, 2), CellText(nItem, 3));
    m_bCallingBack = true;
    if (m_app.m_platform.messageBox.MessageBox(strPrompt, u"確認", MB_YESNO | MB_ICONINFORMATION) == IDYES)
        SendCallRequest(m_app, strNumber);
    m_bCallingBack = false;
}
