// The download harness: a real window receiving the worker's reports.
#include "DownloadRun.h"
#include "download/DownloadWorker.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"

namespace
{
class CDownloadWindow : public CReportWindow
{
public:
    explicit CDownloadWindow(CDownloadRun& run) : CReportWindow(run), m_download(run) {}

protected:
    LRESULT OnDownloadBegin(WPARAM wParam, LPARAM /*lParam*/)
    {
        m_download.m_pImageAtBegin = g_pImage;
        m_download.m_nImageSizeAtBegin = g_nImageSize;
        Record('B', wParam);
        return 0;
    }

    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM /*lParam*/)
    {
        if (m_download.Percentages().empty())
        {
            m_download.m_pImageAtProgress = g_pImage;
            m_download.m_nImageSizeAtProgress = g_nImageSize;
        }
        Record('P', wParam);
        return 0;
    }

    LRESULT OnDownloadComplete(WPARAM wParam, LPARAM /*lParam*/)
    {
        Record('C', wParam);
        return 0;
    }

    DECLARE_MESSAGE_MAP()

private:
    CDownloadRun& m_download;
};

BEGIN_MESSAGE_MAP(CDownloadWindow, CReportWindow)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_BEGIN, OnDownloadBegin)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_COMPLETE, OnDownloadComplete)
END_MESSAGE_MAP()
}

CDownloadRun RunDownload(DWORD dwTimeoutMs)
{
    CDownloadRun run;
    CDownloadWindow wnd(run);
    if (wnd.Create(L"OrvekDownloadTestWindow", L"Download test", TRUE))
        RunWorker(DownloadThreadProc, wnd, run, dwTimeoutMs);
    return run;
}
