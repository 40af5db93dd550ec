// CTimedReportWindow: the tests' report window, hidden, taking either
// worker's reports for a benchmark program and noting when the completion
// report arrived, in wall-clock and this process's CPU time.
#pragma once
#include "common/WorkerRun.h"

class CTimedReportWindow : public CReportWindow
{
public:
    explicit CTimedReportWindow(CWorkerRun& run) : CReportWindow(run) {}

    BOOL Create();
    // Runs this thread's messages until the completion report has come;
    // false if it has not within dwTimeoutMs.
    bool WaitForCompletion(DWORD dwTimeoutMs);

    // BenchSeconds and BenchCpuSeconds when the completion report arrived.
    double m_dCompleteSeconds = 0;
    double m_dCompleteCpuSeconds = 0;

protected:
    LRESULT OnBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnComplete(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
