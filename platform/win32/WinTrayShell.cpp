#include "platform/win32/WinTrayShell.h"

#include "resources/ResourceIds.h"
#include "resources/TrayMenus.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <span>

namespace {

constexpr UINT kTrayCallbackMessage = WM_APP + 100;
constexpr wchar_t kWindowClass[] = L"KIVODialerWnd";
constexpr wchar_t kWindowName[] = L"KIVODialerWnd";
// The icon's identity, the same in every call and every version of the program.
constexpr GUID kIconGuid = {0x6c2b2e0a, 0x8d1f, 0x4b7e, {0x9a, 0x53, 0x3f, 0x4c, 0x1d, 0x2e, 0x5b, 0x71}};

// The whole structure, up to hBalloonIcon: 976 bytes in the 64-bit layout (956 in the 32-bit one). A
// shorter cbSize makes the shell take it for an old version and show balloons garbled.
static_assert(sizeof(void*) != 8 || sizeof(NOTIFYICONDATAW) == 976);

const wchar_t* AsWide(std::u16string_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return reinterpret_cast<const wchar_t*>(text.data());
}

// Copies text into a fixed member, cut to its room, always terminated.
template <size_t N> void CopyInto(wchar_t (&dst)[N], std::u16string_view text) {
    const size_t n = std::min(text.size(), N - 1);
    std::copy_n(AsWide(text), n, dst);
    dst[n] = L'\0';
}

HICON LoadSmallIcon(int nId) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nId), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_DEFAULTCOLOR));
}

HMENU BuildPopupMenu(std::span<const CMenuItemRes> items) {
    HMENU hMenu = CreatePopupMenu();
    for (const CMenuItemRes& item : items) {
        const std::u16string strCaption(item.strCaption);
        AppendMenuW(hMenu, MF_STRING, static_cast<UINT_PTR>(item.nId), AsWide(strCaption));
    }
    return hMenu;
}

LRESULT CALLBACK TrayWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == WM_NCCREATE) {
        const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pShell = reinterpret_cast<CWinTrayShell*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!pShell)
        return DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return pShell->HandleMessage(hWnd, nMsg, wParam, lParam);
}

} // namespace

struct CWinTrayShell::CIconData {
    NOTIFYICONDATAW nid{};
    HICON hIconLogin = nullptr;
    HICON hIconLogout = nullptr;
};

CWinTrayShell::CWinTrayShell(ITrayWindows& windows, MessageFilter filter)
    : m_windows(windows), m_filter(std::move(filter)), m_pIcon(std::make_unique<CIconData>()) {}

CWinTrayShell::~CWinTrayShell() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    if (m_pIcon->hIconLogin)
        DestroyIcon(m_pIcon->hIconLogin);
    if (m_pIcon->hIconLogout)
        DestroyIcon(m_pIcon->hIconLogout);
}

bool CWinTrayShell::Create() {
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TrayWndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kWindowClass;
    // A second shell object in the same process (the tests) finds the class registered already.
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    m_pIcon->hIconLogin = LoadSmallIcon(IDR_MAINFRAME);
    m_pIcon->hIconLogout = LoadSmallIcon(IDI_LOGOUT);
    // A top-level window that is never shown rather than a message-only one: only top-level windows
    // receive the shell's "TaskbarCreated" broadcast and the session's end.
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kWindowName, 0, 0, 0, 0, 0, nullptr, nullptr,
                             hInstance, this);
    return m_hWnd != nullptr;
}

int CWinTrayShell::RunMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (m_filter && m_filter(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

long long CWinTrayShell::HandleMessage(HWND hWnd, unsigned nMsg, unsigned long long wParam,
                                       long long lParam) {
    // Known from the first message on: CreateWindowExW has not returned yet.
    m_hWnd = hWnd;
    if (nMsg == m_nTaskbarCreated && m_nTaskbarCreated != 0) {
        if (m_pEvents)
            m_pEvents->OnTaskbarCreated();
        return 0;
    }
    switch (nMsg) {
    case WM_CREATE:
        m_nTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
        return 0;
    case WM_NCDESTROY:
        m_hWnd = nullptr;
        return DefWindowProcW(hWnd, nMsg, wParam, lParam);
    default:
        break;
    }
    if (!m_pEvents)
        return DefWindowProcW(hWnd, nMsg, wParam, lParam);

    switch (nMsg) {
    case kTrayCallbackMessage:
        m_pEvents->OnTrayNotify(static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
        return 0;
    case WM_LBUTTONUP:
        m_pEvents->OnPosted(ETrayPost::LButtonUp);
        return 0;
    case WM_LBUTTONDBLCLK:
        m_pEvents->OnPosted(ETrayPost::LButtonDblClk);
        return 0;
    case WM_RBUTTONUP:
        m_pEvents->OnPosted(ETrayPost::RButtonUp);
        return 0;
    case WM_TIMER:
        m_pEvents->OnTimer(static_cast<int>(wParam));
        return 0;
    case WM_COMMAND:
        m_pEvents->OnCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The controller decides: it stops the channel, saves the history and removes the icon first.
        m_pEvents->OnPosted(ETrayPost::Close);
        return 0;
    case WM_QUERYENDSESSION:
        return m_pEvents->OnQueryEndSession() ? TRUE : FALSE;
    case WM_POWERBROADCAST:
        return TRUE;
    default:
        return DefWindowProcW(hWnd, nMsg, wParam, lParam);
    }
}

bool CWinTrayShell::NotifyIcon(unsigned long nMessage, unsigned nFlags) {
    NOTIFYICONDATAW& nid = m_pIcon->nid;
    nid.cbSize = sizeof(NOTIFYICONDATAW);
    nid.hWnd = m_hWnd;
    nid.uID = kTrayIconId;
    nid.uCallbackMessage = kTrayCallbackMessage;
    nid.uFlags = nFlags | NIF_GUID;
    nid.guidItem = kIconGuid;
    return Shell_NotifyIconW(nMessage, &nid) != FALSE;
}

void CWinTrayShell::SetIconImage(ETrayIcon icon) {
    m_pIcon->nid.hIcon = icon == ETrayIcon::Login    ? m_pIcon->hIconLogin
                         : icon == ETrayIcon::Logout ? m_pIcon->hIconLogout
                                                     : nullptr;
    if (m_bIconAdded)
        NotifyIcon(NIM_MODIFY, NIF_ICON);
}

void CWinTrayShell::SetIconTip(std::u16string_view strTip) {
    CopyInto(m_pIcon->nid.szTip, strTip);
    if (m_bIconAdded)
        NotifyIcon(NIM_MODIFY, NIF_TIP);
}

bool CWinTrayShell::AddIcon() {
    // An icon the shell still holds (it docked it again itself after a restart) is changed instead.
    constexpr unsigned kAll = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_bIconAdded = NotifyIcon(NIM_ADD, kAll) || NotifyIcon(NIM_MODIFY, kAll);
    return m_bIconAdded;
}

void CWinTrayShell::DeleteIcon() {
    NotifyIcon(NIM_DELETE, 0);
    m_bIconAdded = false;
}

bool CWinTrayShell::ShowBalloon(std::u16string_view strTitle, std::u16string_view strText, int nTimeoutMs) {
    if (!m_bIconAdded)
        return false;
    NOTIFYICONDATAW& nid = m_pIcon->nid;
    nid.dwInfoFlags = NIIF_INFO;
    nid.uTimeout = static_cast<UINT>(nTimeoutMs);
    // An empty balloon first: one still showing goes away, and the new one starts its full time.
    nid.szInfo[0] = L'\0';
    NotifyIcon(NIM_MODIFY, NIF_INFO);
    CopyInto(nid.szInfoTitle, strTitle);
    CopyInto(nid.szInfo, strText);
    return NotifyIcon(NIM_MODIFY, NIF_INFO);
}

void CWinTrayShell::SetTimer(int nId, int nPeriodMs) {
    ::SetTimer(m_hWnd, static_cast<UINT_PTR>(nId), static_cast<UINT>(nPeriodMs), nullptr);
}

void CWinTrayShell::KillTimer(int nId) {
    ::KillTimer(m_hWnd, static_cast<UINT_PTR>(nId));
}

void CWinTrayShell::ShowMenu(ETrayMenu menu) {
    POINT pt{};
    GetCursorPos(&pt);
    HMENU hMenu =
        menu == ETrayMenu::LeftClick ? BuildPopupMenu(kMenuTrayLeft) : BuildPopupMenu(kMenuTrayRight);
    // Without the foreground the menu would not close on a click elsewhere; the WM_NULL after it lets a
    // second click on the icon open it again at once.
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
    PostMessageW(m_hWnd, WM_NULL, 0, 0);
    DestroyMenu(hMenu);
}

void CWinTrayShell::PostToSelf(ETrayPost post) {
    UINT nMsg = WM_NULL;
    switch (post) {
    case ETrayPost::LButtonUp:
        nMsg = WM_LBUTTONUP;
        break;
    case ETrayPost::LButtonDblClk:
        nMsg = WM_LBUTTONDBLCLK;
        break;
    case ETrayPost::RButtonUp:
        nMsg = WM_RBUTTONUP;
        break;
    case ETrayPost::Close:
        nMsg = WM_CLOSE;
        break;
    }
    PostMessageW(m_hWnd, nMsg, 0, 0);
}

void CWinTrayShell::EndMessageLoop() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    // Only here: a shell destroyed without its loop leaves no WM_QUIT behind in the thread's queue.
    PostQuitMessage(0);
}

void CWinTrayShell::OpenInBrowser(std::u16string_view strAddress) {
    const std::u16string strUrl(strAddress);
    ShellExecuteW(nullptr, L"open", AsWide(strUrl), nullptr, nullptr, SW_SHOWNORMAL);
}
