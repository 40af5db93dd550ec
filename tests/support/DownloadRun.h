// Runs the download worker against a real window on the test thread, as the
// updater window would.
#pragma once
#include "support/WorkerRun.h"

struct CDownloadRun : CWorkerRun
{
    // The image pair as the window saw it when the begin report arrived.
    BYTE* m_pImageAtBegin = nullptr;
    UINT32 m_nImageSizeAtBegin = 0;
    // ... and at the first progress report.
    BYTE* m_pImageAtProgress = nullptr;
    UINT32 m_nImageSizeAtProgress = 0;
};

// Starts DownloadThreadProc for a new window and pumps messages until the
// worker has reported completion and ended, or dwTimeoutMs has passed.
CDownloadRun RunDownload(DWORD dwTimeoutMs = 60000);
