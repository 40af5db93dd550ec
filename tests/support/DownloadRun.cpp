// The download harness: a real window receiving the worker's reports.
#include "support/DownloadRun.h"
#include "app/ImageBuffer.h"
#include "download/DownloadWorker.h"

CDownloadRun RunDownload(DWORD dwTimeoutMs)
{
    CDownloadRun run;
    CReportWindow wnd(run);
    wnd.m_fnOnReport = [&run](CReport& report) {
        if (report.m_chKind == 'B')
        {
            run.m_pImageAtBegin = g_pImage;
            run.m_nImageSizeAtBegin = g_nImageSize;
        }
        else if (report.m_chKind == 'P' && run.Percentages().empty())
        {
            run.m_pImageAtProgress = g_pImage;
            run.m_nImageSizeAtProgress = g_nImageSize;
        }
    };
    if (wnd.Create(L"OrvekDownloadTestWindow", L"Download test", TRUE))
        RunWorker(DownloadThreadProc, wnd, run, dwTimeoutMs);
    return run;
}
