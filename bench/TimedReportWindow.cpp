// The benchmarks' window for the workers' reports.
#include "TimedReportWindow.h"
#include "Stopwatch.h"
#include "app/Notifications.h"
#include "common/Wait.h"

BEGIN_MESSAGE_MAP(CTimedReportWindow, CReportWindow)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_BEGIN, OnBegin)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_PROGRESS, OnProgress)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_COMPLETE, OnComplete)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_BEGIN, OnBegin)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_PROGRESS, OnProgress)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_COMPLETE, OnComplete)
END_MESSAGE_MAP()

BOOL CTimedReportWindow::Create()
{
    return CReportWindow::Create(L"OrvekBenchReportWindow", L"Orvek benchmark", FALSE);
}

bool CTimedReportWindow::WaitForCompletion(DWORD dwTimeoutMs)
{
    // The check stays this cheap: the worker waits in each report until
    // this thread has handled it.
    return PumpUntil([this] { return m_dCompleteSeconds != 0; }, dwTimeoutMs);
}

LRESULT CTimedReportWindow::OnBegin(WPARAM wParam, LPARAM /*lParam*/)
{
    Record('B', wParam);
    return 0;
}

LRESULT CTimedReportWindow::OnProgress(WPARAM wParam, LPARAM /*lParam*/)
{
    Record('P', wParam);
    return 0;
}

LRESULT CTimedReportWindow::OnComplete(WPARAM wParam, LPARAM /*lParam*/)
{
    m_dCompleteSeconds = BenchSeconds();
    m_dCompleteCpuSeconds = BenchCpuSeconds();
    Record('C', wParam);
    return 0;
}
