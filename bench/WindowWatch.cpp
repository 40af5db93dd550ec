// Finding another process's windows and reading their controls.
#include "WindowWatch.h"
#include "resource.h"

namespace
{
struct SWindowSearch
{
    DWORD m_dwProcessId;
    const wchar_t* m_pszTitle;
    const wchar_t* m_pszClass;
    HWND m_hExcept;
    HWND m_hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<SWindowSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != pSearch->m_dwProcessId || hWnd == pSearch->m_hExcept)
        return TRUE;
    wchar_t szText[256] = L"";
    if (pSearch->m_pszClass != nullptr)
    {
        ::GetClassNameW(hWnd, szText, 256);
        if (wcscmp(szText, pSearch->m_pszClass) != 0)
            return TRUE;
    }
    if (pSearch->m_pszTitle != nullptr)
    {
        ::GetWindowTextW(hWnd, szText, 256);
        if (wcscmp(szText, pSearch->m_pszTitle) != 0)
            return TRUE;
    }
    pSearch->m_hFound = hWnd;
    return FALSE;
}
}

HWND FindProcessWindow(DWORD dwProcessId, const wchar_t* pszTitle, const wchar_t* pszClass, HWND hExcept)
{
    SWindowSearch search = { dwProcessId, pszTitle, pszClass, hExcept, nullptr };
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

std::wstring ControlText(HWND hDialog, int nId)
{
    wchar_t szText[512] = L"";
    ::GetDlgItemTextW(hDialog, nId, szText, 512);
    return szText;
}

bool IsShownInState(HWND hWnd)
{
    if (!::IsWindowVisible(hWnd))
        return false;
    HWND hStatus = ::GetDlgItem(hWnd, IDC_STATIC_STATUS);
    return hStatus == nullptr || ::IsWindowVisible(hStatus);
}

bool ShowsStatus(HWND hDialog, const wchar_t* pszText)
{
    HWND hStatus = ::GetDlgItem(hDialog, IDC_STATIC_STATUS);
    return hStatus != nullptr && ::IsWindowVisible(hStatus) && ControlText(hDialog, IDC_STATIC_STATUS) == pszText;
}
