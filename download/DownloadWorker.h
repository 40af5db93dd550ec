// The download worker: fetches the firmware image into the image buffer and
// reports to the updater window.
#pragma once
#include "framework/afxwin.h"

// The worker thread's body; pParam is the updater window's HWND, to which
// every report is sent. Returns 0.
UINT AFX_CDECL DownloadThreadProc(LPVOID pParam);
