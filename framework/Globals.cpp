// The framework's global functions.
#include "Globals.h"
#include "WinApp.h"
#include "Wnd.h"

namespace
{
HINSTANCE g_hInstance = nullptr;
BOOL g_bControlContainerEnabled = FALSE;
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->m_pMainWnd : nullptr;
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    return g_hInstance != nullptr ? g_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance)
{
    g_hInstance = hInstance;
}

int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    return ::MessageBoxW(nullptr, lpszText, nullptr, nType);
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                  UINT nStackSize, DWORD dwCreateFlags,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs))
    {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        pThread->ResumeThread();
    return pThread;
}

LRESULT AFXAPI AfxProcessWndProcException(const std::exception* e, const MSG* pMsg)
{
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->ProcessWndProcException(e, pMsg) : 0;
}

void AFXAPI AfxEnableControlContainer()
{
    g_bControlContainerEnabled = TRUE;
}

BOOL AFXAPI AfxIsControlContainerEnabled()
{
    return g_bControlContainerEnabled;
}
