// Starting a worker with its token.
#include "app/WorkerStart.h"
#include <ntsecapi.h>
#include <memory>
#include <new>

decltype(&AfxBeginThread) g_pfnBeginWorker = AfxBeginThread;

void CWorkerStart::Report(UINT message, WPARAM wParam) const
{
    ::SendMessageW(m_hWnd, message, wParam, m_lToken);
}

LPARAM StartWorker(AFX_THREADPROC pfnWorker, HWND hWnd)
{
    LPARAM lToken = 0;
    // A report without a token carries 0.
    if (!RtlGenRandom(&lToken, sizeof(lToken)) || lToken == 0)
        return 0;
    try
    {
        std::unique_ptr<CWorkerStart> pStart(new CWorkerStart{ hWnd, lToken });
        if (g_pfnBeginWorker(pfnWorker, pStart.get(), THREAD_PRIORITY_NORMAL, 0, 0, nullptr) == nullptr)
            return 0;
        pStart.release();
        return lToken;
    }
    catch (const std::bad_alloc&)
    {
        return 0;
    }
}

CWorkerStart TakeWorkerStart(LPVOID pParam)
{
    const std::unique_ptr<CWorkerStart> pStart(static_cast<CWorkerStart*>(pParam));
    return *pStart;
}
