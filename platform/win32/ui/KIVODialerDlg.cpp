#include "platform/win32/ui/KIVODialerDlg.h"

#include "app/KIVODialerApp.h"
#include "resources/ResourceIds.h"
#include "ui/CallRequest.h"
#include "ui/DialNumber.h"
#include "ui/DstHistory.h"

#include "platform/win32/ui/WinText.h"

#include <vector>

CKIVODialerDlg::CKIVODialerDlg(CKIVODialerApp& app)
    : CWinDialog(g_dlgDial), m_strSrc(app.m_strUser + u"@" + app.m_strPBX), m_app(app) {}

BOOL CKIVODialerDlg::OnInitDialog() {
    SetDlgItemText(IDC_SRC, m_strSrc);
    m_cbDst = GetDlgItem(IDC_DST);
    SetWindowIcons(IDR_MAINFRAME);
    LoadDstHistory(m_cbDst, kSectionDstNo, kDstHistoryMax, ExtractDialNumber(GetClipboardText()));
    // A window opened from the tray comes up in front of the others.
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

std::u16string CKIVODialerDlg::GetClipboardText() {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr))
        return {};
    std::string bytes;
    if (HANDLE hData = GetClipboardData(CF_TEXT)) {
        if (const char* psz = static_cast<const char*>(GlobalLock(hData))) {
            // Never past the block, even when the data holds no terminating zero.
            const size_t nMax = GlobalSize(hData);
            size_t n = 0;
            while (n < nMax && psz[n] != '\0')
                ++n;
            bytes.assign(psz, n);
            GlobalUnlock(hData);
        }
    }
    CloseClipboard();
    if (bytes.empty())
        return {};
    const int nChars =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (nChars <= 0)
        return std::u16string(bytes.begin(), bytes.end()); // byte by byte, as a last resort
    std::wstring text(static_cast<size_t>(nChars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), nChars);
    return FromWide(text);
}

void CKIVODialerDlg::LoadDstHistory(HWND hCombo, std::u16string_view section, int nMax,
                                    std::u16string_view strFirst) {
    for (const std::u16string& strItem : ReadDstHistory(m_app.m_platform.profile, section, nMax, strFirst))
        SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(strItem).c_str()));
    SendMessageW(hCombo, CB_SETCURSEL, 0, 0);
}

void CKIVODialerDlg::SaveDstHistory(HWND hCombo, std::u16string_view section, int nMax) {
    std::vector<std::u16string> items;
    const int nCount = static_cast<int>(SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        const int nLength = static_cast<int>(SendMessageW(hCombo, CB_GETLBTEXTLEN, i, 0));
        std::wstring item(static_cast<size_t>(nLength > 0 ? nLength : 0) + 1, L'\0');
        const int nGot =
            static_cast<int>(SendMessageW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data())));
        item.resize(nGot > 0 ? static_cast<size_t>(nGot) : 0);
        items.push_back(FromWide(item));
    }
    WriteDstHistory(m_app.m_platform.profile, section, nMax, GetWindowU16Text(hCombo), items);
}

bool CKIVODialerDlg::Dial() {
    return DialTypedNumber(m_app, GetWindowU16Text(m_cbDst));
}

void CKIVODialerDlg::OnOK() {
    // The message boxes have no owner, so the dialog still takes clicks while one is open: a second
    // "ダイヤル" then would place the same call twice.
    if (m_bDialing)
        return;
    m_bDialing = true;
    const bool bDialed = Dial();
    m_bDialing = false;
    if (!bDialed)
        return;
    SaveDstHistory(m_cbDst, kSectionDstNo, kDstHistoryMax);
    m_app.AddCallHistory(GetWindowU16Text(m_cbDst), u"", 0);
    EndDialog(IDOK);
}
