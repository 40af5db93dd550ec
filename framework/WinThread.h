// CWinThread: a thread of the program; a worker runs one function and,
// by default, deletes its object when the function returns.
#pragma once
#include "CmdTarget.h"

class CWnd;

typedef UINT (AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget
{
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    DWORD ResumeThread();
    BOOL SetThreadPriority(int nPriority);

    virtual BOOL InitInstance();
    // The thread's message loop; returns ExitInstance's code.
    virtual int Run();
    virtual int ExitInstance();
    virtual void Delete();

    CWnd* m_pMainWnd = nullptr;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

protected:
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

private:
    static unsigned __stdcall ThreadEntry(void* pThread);
};
