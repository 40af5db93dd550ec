// CWinThread: starting workers and the message loop.
#include "WinThread.h"
#include <process.h>

CWinThread::CWinThread() = default;

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != nullptr)
        ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam)
{
    CWinThread* pThread = static_cast<CWinThread*>(pParam);
    UINT nResult = 0;
    if (pThread->m_pfnThreadProc != nullptr)
        nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    else if (pThread->InitInstance())
        nResult = static_cast<UINT>(pThread->Run());
    else
        nResult = static_cast<UINT>(pThread->ExitInstance());
    pThread->Delete();
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    // Always created suspended, so that the handle and id are stored before
    // the thread can run (and delete this object).
    unsigned nThreadID = 0;
    const uintptr_t hThread = _beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry,
                                             this, CREATE_SUSPENDED, &nThreadID);
    if (hThread == 0)
        return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(hThread);
    m_nThreadID = nThreadID;
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0)
        ::ResumeThread(m_hThread);
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    return ::SetThreadPriority(m_hThread, nPriority);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return 0;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}
