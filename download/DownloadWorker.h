// The download worker: fetches the firmware image into the image buffer and
// reports to the updater window.
#pragma once
#include "framework/afxwin.h"

// The worker thread's body; pParam is the CWorkerStart (app/WorkerStart.h)
// it was started with. Returns 0.
UINT AFX_CDECL DownloadThreadProc(LPVOID pParam);
