// Driving the updater window from outside.
#include "support/UpdaterWindow.h"
#include "support/Press.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include "resource.h"

#include <algorithm>

namespace
{
// The window is read every 2 ms while it changes and right after it was
// used, and ever less often while it stays the same, down to every 50 ms:
// a quick sequence is seen step by step, and a long wait costs Wine little
// (a read is some thirty calls into another process).
constexpr DWORD kFastestPollMs = 2;
constexpr DWORD kSlowestPollMs = 50;
const wchar_t kTitle[] = L"Orvek Updater";

// A dialog of that title owned by the window; with bMessageBox, one that
// also has a message box's text.
CWindowSearch OwnedSearch(HWND hOwner, const wchar_t* pszTitle, bool bMessageBox)
{
    CWindowSearch search;
    search.m_hOwner = hOwner;
    search.m_pszTitle = pszTitle;
    search.m_bMessageBox = bMessageBox;
    return search;
}
}

bool CUpdaterWindow::IsUpdaterWindow(HWND hWnd)
{
    CWindowSearch search;
    search.m_pszTitle = kTitle;
    return IsMatch(hWnd, search) && ::GetDlgItem(hWnd, IDC_STATIC_STATUS) != nullptr;
}

HWND CUpdaterWindow::FindAnyUpdaterWindow()
{
    CWindowSearch search;
    search.m_pfnMatch = IsUpdaterWindow;
    return FindTopWindow(search);
}

bool CUpdaterWindow::Poll()
{
    CWindowView view;
    if (!CWindowView::Read(m_hWnd, view))
        return false;
    view.m_dwSeenTick = ::GetTickCount();
    m_current = view;
    if (m_arrHistory.empty() || m_arrHistory.back() != view)
    {
        m_arrHistory.push_back(view);
        m_dwPollMs = kFastestPollMs;
    }
    return true;
}

bool CUpdaterWindow::PollUntil(const std::function<bool()>& bMet, DWORD dwTimeoutMs)
{
    return WaitFor(bMet, dwTimeoutMs, [this] {
        const DWORD dwStepMs = m_dwPollMs;
        m_dwPollMs = std::min(kSlowestPollMs, m_dwPollMs * 3 / 2 + 1);
        return dwStepMs;
    });
}

bool CUpdaterWindow::WaitUntil(const std::function<bool(const CWindowView&)>& bMet, DWORD dwTimeoutMs)
{
    bool bRead = true;
    const bool bDone = PollUntil([&] { return !(bRead = Poll()) || bMet(m_current); }, dwTimeoutMs);
    return bDone && bRead;
}

bool CUpdaterWindow::WaitForView(const CWindowView& expected, DWORD dwTimeoutMs)
{
    return WaitUntil([&expected](const CWindowView& view) { return view == expected; }, dwTimeoutMs);
}

bool CUpdaterWindow::Holds(const CWindowView& expected, DWORD dwMs)
{
    return !WaitFor([&] { return !Poll() || m_current != expected; }, dwMs, kFastestPollMs);
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
    m_dwPollMs = kFastestPollMs;
    PressButton(m_hWnd, IDOK);
}

void CUpdaterWindow::PressKey(UINT nVirtualKey)
{
    m_dwPollMs = kFastestPollMs;
    ::PressKey(m_hWnd, nVirtualKey);
}

void CUpdaterWindow::Close()
{
    m_dwPollMs = kFastestPollMs;
    ::PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

HWND CUpdaterWindow::FindMessageBox() const
{
    return FindTopWindow(OwnedSearch(m_hWnd, kTitle, true));
}

HWND CUpdaterWindow::WaitForMessageBox(DWORD dwTimeoutMs, std::wstring& strText)
{
    const HWND hBox = WaitForOwned(kTitle, true, dwTimeoutMs);
    if (hBox != nullptr)
        strText = ReadControlText(hBox, MESSAGE_TEXT_ID);
    return hBox;
}

HWND CUpdaterWindow::WaitForOwnedDialog(const wchar_t* pszTitle, DWORD dwTimeoutMs)
{
    return WaitForOwned(pszTitle, false, dwTimeoutMs);
}

HWND CUpdaterWindow::WaitForOwned(const wchar_t* pszTitle, bool bMessageBox, DWORD dwTimeoutMs)
{
    CWindowSearch search = OwnedSearch(m_hWnd, pszTitle, bMessageBox);
    search.m_bVisible = true;
    HWND hFound = nullptr;
    PollUntil(
        [&] {
            Poll();
            hFound = FindTopWindow(search);
            return hFound != nullptr || IsGone();
        },
        dwTimeoutMs);
    return hFound;
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
    return WaitFor([this] { return IsGone(); }, dwTimeoutMs, 10);
}

bool StartUpdaterProcess(CChildProcess& process, const std::string& strFolder, const std::string& strExeName)
{
    return process.Start(Widen((strFolder.empty() ? ProgramFolder() : strFolder) + strExeName), L"",
                         CHILD_OUTPUT_DEFAULT, Widen(strFolder));
}

HWND WaitForUpdaterWindow(const CChildProcess& process, DWORD dwTimeoutMs)
{
    HWND hWnd = nullptr;
    WaitFor(
        [&] {
            hWnd = FindProcessWindow(process.ProcessId(), false, CUpdaterWindow::IsUpdaterWindow);
            return hWnd != nullptr || process.HasEnded();
        },
        dwTimeoutMs, 10);
    return hWnd;
}
