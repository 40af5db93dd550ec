// Driving the updater window from outside.
#include "e2e/UpdaterWindow.h"
#include "common/Press.h"
#include "common/Wait.h"
#include "common/WindowSearch.h"
#include "resource.h"

namespace
{
constexpr DWORD kPollMs = 2;
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
        m_arrHistory.push_back(view);
    return true;
}

bool CUpdaterWindow::WaitUntil(const std::function<bool(const CWindowView&)>& bMet, DWORD dwTimeoutMs)
{
    bool bRead = true;
    const bool bDone = WaitFor([&] { return !(bRead = Poll()) || bMet(m_current); }, dwTimeoutMs, kPollMs);
    return bDone && bRead;
}

bool CUpdaterWindow::WaitForView(const CWindowView& expected, DWORD dwTimeoutMs)
{
    return WaitUntil([&expected](const CWindowView& view) { return view == expected; }, dwTimeoutMs);
}

bool CUpdaterWindow::Holds(const CWindowView& expected, DWORD dwMs)
{
    return !WaitFor([&] { return !Poll() || m_current != expected; }, dwMs, kPollMs);
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
    PressButton(m_hWnd, IDOK);
}

void CUpdaterWindow::PressKey(UINT nVirtualKey)
{
    ::PressKey(m_hWnd, nVirtualKey);
}

void CUpdaterWindow::Close()
{
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
    WaitFor(
        [&] {
            Poll();
            hFound = FindTopWindow(search);
            return hFound != nullptr || IsGone();
        },
        dwTimeoutMs, kPollMs);
    return hFound;
}

bool CUpdaterWindow::DismissMessageBox(HWND hBox, int nButtonId)
{
    // Under load Wine now and then drops a click that reaches a box in its
    // first moments; a box that is still up a few seconds later is clicked
    // again, and one that never goes away still fails the test.
    for (int nTry = 0; nTry < 3; ++nTry)
    {
        if (!PressButton(hBox, nButtonId))
            return nTry > 0 && !::IsWindow(hBox);
        if (WaitFor([&] { return !::IsWindow(hBox) || !::IsWindowVisible(hBox); }, 3000, 10))
            return true;
    }
    return false;
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
