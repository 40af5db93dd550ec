// The framework's global functions.
#pragma once
#include "WinThread.h"
#include <exception>

class CWinApp;
class CWnd;

CWinApp* AFXAPI AfxGetApp();
// The application's main window, or null.
CWnd* AFXAPI AfxGetMainWnd();
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance);

// OK only unless nType says otherwise, an exclamation-mark icon unless nType
// names one, the application's name as caption, owned by the main window
// (which stays disabled while the box is up).
int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// Starts pfnThreadProc(pParam) on a new thread whose object deletes itself
// when the function returns; null if the thread could not be started.
CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// Lets dialogs host ActiveX controls. Our dialogs hold only the platform's
// own controls, which need nothing more than the switch being on.
void AFXAPI AfxEnableControlContainer();
BOOL AFXAPI AfxIsControlContainerEnabled();

// The application's ProcessWndProcException, or 0 without an application.
LRESULT AFXAPI AfxProcessWndProcException(const std::exception* e, const MSG* pMsg);

// Runs handler, which handles msg for a window procedure: what it throws
// goes to AfxProcessWndProcException, whose result it returns, instead of
// unwinding through the system's code that called the procedure.
template <class THandler>
LRESULT AfxCallHandler(const MSG& msg, THandler handler)
{
    try
    {
        return handler();
    }
    catch (const std::exception& e)
    {
        return AfxProcessWndProcException(&e, &msg);
    }
    catch (...)
    {
        return AfxProcessWndProcException(nullptr, &msg);
    }
}
