// Driving the updater window from outside.
#include "e2e/UpdaterWindow.h"
#include "resource.h"

namespace
{
constexpr DWORD kPollMs = 2;
constexpr int kMessageTextId = 0xFFFF;
const wchar_t kDialogClass[] = L"#32770";
const wchar_t kTitle[] = L"Orvek Updater";

bool HasClassAndTitle(HWND hWnd, const wchar_t* pszTitle = kTitle)
{
    wchar_t szText[64] = L"";
    ::GetClassNameW(hWnd, szText, 64);
    if (wcscmp(szText, kDialogClass) != 0)
        return false;
    ::GetWindowTextW(hWnd, szText, 64);
    return wcscmp(szText, pszTitle) == 0;
}

BOOL CALLBACK MatchAnyUpdater(HWND hWnd, LPARAM lParam)
{
    if (!CUpdaterWindow::IsUpdaterWindow(hWnd))
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

// A dialog of that title owned by the window; with m_bMessageBox, one that
// also has a message box's text.
struct SOwnedSearch
{
    HWND m_hOwner;
    const wchar_t* m_pszTitle;
    bool m_bMessageBox;
    HWND m_hFound;
};

BOOL CALLBACK MatchOwned(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<SOwnedSearch*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) != pSearch->m_hOwner || !HasClassAndTitle(hWnd, pSearch->m_pszTitle)
        || (pSearch->m_bMessageBox && ::GetDlgItem(hWnd, kMessageTextId) == nullptr))
        return TRUE;
    pSearch->m_hFound = hWnd;
    return FALSE;
}

HWND FindOwned(HWND hOwner, const wchar_t* pszTitle, bool bMessageBox)
{
    SOwnedSearch search = { hOwner, pszTitle, bMessageBox, nullptr };
    ::EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}
}

bool CUpdaterWindow::IsUpdaterWindow(HWND hWnd)
{
    return HasClassAndTitle(hWnd) && ::GetDlgItem(hWnd, IDC_STATIC_STATUS) != nullptr;
}

HWND CUpdaterWindow::FindAnyUpdaterWindow()
{
    HWND hFound = nullptr;
    ::EnumWindows(MatchAnyUpdater, reinterpret_cast<LPARAM>(&hFound));
    return hFound;
}

bool CUpdaterWindow::Poll()
{
    CWindowView view;
    if (!CWindowView::Read(m_hWnd, view))
        return false;
    view.m_dwSeenTick = ::GetTickCount();
    m_current = view;
    if (m_arrHistory.empty() || m_arrHistory.back() != view)
        m_arrHistory.push_back(view);
    return true;
}

bool CUpdaterWindow::WaitUntil(const std::function<bool(const CWindowView&)>& bMet, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        if (!Poll())
            return false;
        if (bMet(m_current))
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        ::Sleep(kPollMs);
    }
}

bool CUpdaterWindow::WaitForView(const CWindowView& expected, DWORD dwTimeoutMs)
{
    return WaitUntil([&expected](const CWindowView& view) { return view == expected; }, dwTimeoutMs);
}

bool CUpdaterWindow::Holds(const CWindowView& expected, DWORD dwMs)
{
    const DWORD dwStart = ::GetTickCount();
    do
    {
        if (!Poll() || m_current != expected)
            return false;
        ::Sleep(kPollMs);
    } while (::GetTickCount() - dwStart < dwMs);
    return true;
}

std::string CUpdaterWindow::DescribeHistory() const
{
    std::string strOut;
    for (const CWindowView& view : m_arrHistory)
        strOut += "\n  " + view.Describe();
    return strOut;
}

void CUpdaterWindow::ClickButton()
{
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(::GetDlgItem(m_hWnd, IDOK), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &dwResult);
}

void CUpdaterWindow::PressKey(UINT nVirtualKey)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND hTarget = m_hWnd;
    const DWORD dwThread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
    if (::GetGUIThreadInfo(dwThread, &info) && info.hwndFocus != nullptr)
        hTarget = info.hwndFocus;
    const UINT nScan = ::MapVirtualKeyW(nVirtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(hTarget, WM_KEYDOWN, nVirtualKey, 1 | (nScan << 16));
    ::PostMessageW(hTarget, WM_KEYUP, nVirtualKey, 1 | (nScan << 16) | (1u << 30) | (1u << 31));
}

void CUpdaterWindow::Close()
{
    ::PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND CUpdaterWindow::FindMessageBox() const
{
    return FindOwned(m_hWnd, kTitle, true);
}

HWND CUpdaterWindow::WaitForMessageBox(DWORD dwTimeoutMs, std::wstring& strText)
{
    const HWND hBox = WaitForOwned(kTitle, true, dwTimeoutMs);
    if (hBox != nullptr)
        strText = ReadControlText(hBox, kMessageTextId);
    return hBox;
}

HWND CUpdaterWindow::WaitForOwnedDialog(const wchar_t* pszTitle, DWORD dwTimeoutMs)
{
    return WaitForOwned(pszTitle, false, dwTimeoutMs);
}

HWND CUpdaterWindow::WaitForOwned(const wchar_t* pszTitle, bool bMessageBox, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        Poll();
        const HWND hFound = FindOwned(m_hWnd, pszTitle, bMessageBox);
        if (hFound != nullptr && ::IsWindowVisible(hFound))
            return hFound;
        if (IsGone() || ::GetTickCount() - dwStart >= dwTimeoutMs)
            return nullptr;
        ::Sleep(kPollMs);
    }
}

bool CUpdaterWindow::DismissMessageBox(HWND hBox, int nButtonId)
{
    // A box's buttons have the ids of the answers they give (IDOK, IDYES, IDNO).
    HWND hButton = ::GetDlgItem(hBox, nButtonId);
    if (hButton == nullptr)
        return false;
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(hButton, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &dwResult);
    return true;
}

LRESULT CUpdaterWindow::QueryEndSession() const
{
    DWORD_PTR dwResult = 0;
    if (::SendMessageTimeoutW(m_hWnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &dwResult)
        == 0)
        return -1;
    return static_cast<LRESULT>(dwResult);
}

bool CUpdaterWindow::WaitUntilGone(DWORD dwTimeoutMs) const
{
    const DWORD dwStart = ::GetTickCount();
    while (!IsGone())
    {
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}
