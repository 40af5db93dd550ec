// The download harness: a real window receiving the worker's reports.
#include "support/DownloadRun.h"
#include "app/ImageBuffer.h"
#include "download/DownloadWorker.h"

namespace
{
class CDownloadWindow : public CReportWindow
{
public:
    explicit CDownloadWindow(CDownloadRun& run) : CReportWindow(run), m_download(run) {}

protected:
    void OnReport(CReport& report) override
    {
        if (report.m_chKind == 'B')
        {
            m_download.m_pImageAtBegin = g_pImage;
            m_download.m_nImageSizeAtBegin = g_nImageSize;
        }
        else if (report.m_chKind == 'P' && m_download.Percentages().empty())
        {
            m_download.m_pImageAtProgress = g_pImage;
            m_download.m_nImageSizeAtProgress = g_nImageSize;
        }
    }

private:
    CDownloadRun& m_download;
};
}

CDownloadRun RunDownload(DWORD dwTimeoutMs)
{
    CDownloadRun run;
    CDownloadWindow wnd(run);
    if (wnd.Create(L"OrvekDownloadTestWindow", L"Download test", TRUE))
        RunWorker(DownloadThreadProc, wnd, run, dwTimeoutMs);
    return run;
}
