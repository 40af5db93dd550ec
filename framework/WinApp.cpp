// CWinApp: the one application object.
#include "WinApp.h"
#include "Globals.h"
#include "String.h"
#include "Wnd.h"
#include <new>

namespace
{
CWinApp* g_pApplication = nullptr;
}

CWinApp* AFXAPI AfxGetApp()
{
    return g_pApplication;
}

CWinApp::CWinApp(LPCWSTR lpszAppName)
{
    g_pApplication = this;
    m_hInstance = ::GetModuleHandleW(nullptr);
    if (lpszAppName != nullptr)
    {
        m_strAppName = lpszAppName;
    }
    else
    {
        CString strTitle;
        if (strTitle.LoadString(AFX_IDS_APP_TITLE))
        {
            m_strAppName = strTitle.GetString();
        }
        else
        {
            wchar_t szPath[MAX_PATH] = {};
            ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
            std::wstring strPath(szPath);
            strPath = strPath.substr(strPath.find_last_of(L"\\/") + 1);
            m_strAppName = strPath.substr(0, strPath.rfind(L'.'));
        }
    }
    m_pszAppName = m_strAppName.c_str();
}

CWinApp::~CWinApp()
{
    if (g_pApplication == this)
        g_pApplication = nullptr;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT /*nIDPrompt*/)
{
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    HWND hWndOwner = m_pMainWnd != nullptr ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (hWndOwner != nullptr && !::IsWindow(hWndOwner))
        hWndOwner = nullptr;
    // A box owned by the window beside another box of the window would
    // leave it to the other's end to enable the window under it.
    if (hWndOwner != nullptr)
        hWndOwner = ::GetLastActivePopup(hWndOwner);
    return ::MessageBoxW(hWndOwner, lpszPrompt, m_pszAppName, nType);
}

LRESULT CWinApp::ProcessWndProcException(const std::exception* e, const MSG* pMsg)
{
    AfxMessageBox(dynamic_cast<const std::bad_alloc*>(e) != nullptr ? L"Out of memory."
                                                                    : L"An unexpected error occurred.",
                  MB_OK | MB_ICONEXCLAMATION);
    return FailedMessageResult(pMsg);
}

LRESULT CWinApp::FailedMessageResult(const MSG* pMsg)
{
    if (pMsg->message == WM_CREATE)
        return -1;
    if (pMsg->message == WM_PAINT)
        ::ValidateRect(pMsg->hwnd, nullptr);
    return 0;
}

void CWinApp::OnHelp()
{
}
