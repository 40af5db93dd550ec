#include "support/WindowSearch.h"

namespace
{
struct SSearchRun
{
    const CWindowSearch* m_pSearch;
    bool m_bAll;
    std::vector<HWND> m_arrFound;
};

BOOL CALLBACK TakeMatch(HWND hWnd, LPARAM lParam)
{
    auto* pRun = reinterpret_cast<SSearchRun*>(lParam);
    if (!IsMatch(hWnd, *pRun->m_pSearch))
        return TRUE;
    pRun->m_arrFound.push_back(hWnd);
    return pRun->m_bAll;
}

std::vector<HWND> Search(const CWindowSearch& search, bool bAll)
{
    SSearchRun run = { &search, bAll, {} };
    if (search.m_dwThreadId != 0)
        ::EnumThreadWindows(search.m_dwThreadId, TakeMatch, reinterpret_cast<LPARAM>(&run));
    else
        ::EnumWindows(TakeMatch, reinterpret_cast<LPARAM>(&run));
    return run.m_arrFound;
}

bool HasText(HWND hWnd, const wchar_t* pszText, bool bClass)
{
    wchar_t szText[256] = L"";
    if (bClass)
        ::GetClassNameW(hWnd, szText, 256);
    else
        ::GetWindowTextW(hWnd, szText, 256);
    return wcscmp(szText, pszText) == 0;
}
}

CWindowSearch ShownDialogs(DWORD dwThreadId, HWND hOwner)
{
    CWindowSearch search;
    search.m_dwThreadId = dwThreadId;
    search.m_hOwner = hOwner;
    search.m_bVisible = true;
    return search;
}

bool IsMatch(HWND hWnd, const CWindowSearch& search)
{
    if (search.m_pszClass != nullptr && !HasText(hWnd, search.m_pszClass, true))
        return false;
    if (search.m_pszTitle != nullptr && !HasText(hWnd, search.m_pszTitle, false))
        return false;
    if (search.m_hOwner != nullptr && ::GetWindow(hWnd, GW_OWNER) != search.m_hOwner)
        return false;
    if (search.m_dwProcessId != 0)
    {
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcessId);
        if (dwProcessId != search.m_dwProcessId)
            return false;
    }
    if (search.m_bVisible && !::IsWindowVisible(hWnd))
        return false;
    if (search.m_bMessageBox && ::GetDlgItem(hWnd, MESSAGE_TEXT_ID) == nullptr)
        return false;
    return search.m_pfnMatch == nullptr || search.m_pfnMatch(hWnd);
}

HWND FindTopWindow(const CWindowSearch& search)
{
    const std::vector<HWND> arrFound = Search(search, false);
    return arrFound.empty() ? nullptr : arrFound.front();
}

std::vector<HWND> FindTopWindows(const CWindowSearch& search)
{
    return Search(search, true);
}

HWND FindProcessWindow(DWORD dwProcessId, bool bVisible, bool (*pfnMatch)(HWND))
{
    if (dwProcessId == 0)
        return nullptr;
    CWindowSearch search;
    search.m_pszClass = nullptr;
    search.m_dwProcessId = dwProcessId;
    search.m_bVisible = bVisible;
    search.m_pfnMatch = pfnMatch;
    return FindTopWindow(search);
}
