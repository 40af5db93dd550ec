// What a worker is started with: the window it reports to, and the token it
// sends with every report, by which the window knows its own worker from
// any other program that sends a message of the same name.
#pragma once
#include "framework/afxwin.h"

class CWorkerStart
{
public:
    HWND m_hWnd;
    // Drawn from the system's random source for each start; never 0.
    LPARAM m_lToken;

    // Sends one of the reports of Notifications.h with this worker's token.
    void Report(UINT message, WPARAM wParam = 0) const;
};

// Starts pfnWorker on a new thread with a new CWorkerStart for hWnd and
// returns its token; 0, with no thread, if no token could be drawn or no
// thread started.
LPARAM StartWorker(AFX_THREADPROC pfnWorker, HWND hWnd);
// The worker's first step: takes the CWorkerStart it was started with
// (pParam) and frees it.
CWorkerStart TakeWorkerStart(LPVOID pParam);

// The thread start, which a test replaces to play a system that cannot
// start one.
extern decltype(&AfxBeginThread) g_pfnBeginWorker;
