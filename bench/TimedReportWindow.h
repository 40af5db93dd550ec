// CTimedReportWindow: the tests' report window, hidden, taking either
// worker's reports for a benchmark program and noting when the completion
// report arrived, in wall-clock and this process's CPU time.
#pragma once
#include "Stopwatch.h"
#include "support/Wait.h"
#include "support/WorkerRun.h"

class CTimedReportWindow : public CReportWindow
{
public:
    explicit CTimedReportWindow(CWorkerRun& run) : CReportWindow(run)
    {
        m_fnOnReport = [this](CReport& report) {
            if (report.m_chKind != 'C')
                return;
            m_dCompleteSeconds = BenchSeconds();
            m_dCompleteCpuSeconds = BenchCpuSeconds();
        };
    }

    BOOL Create() { return CReportWindow::Create(L"OrvekBenchReportWindow", L"Orvek benchmark", FALSE); }
    // Runs this thread's messages until the completion report has come;
    // false if it has not within dwTimeoutMs. The check stays this cheap:
    // the worker waits in each report until this thread has handled it.
    bool WaitForCompletion(DWORD dwTimeoutMs)
    {
        return PumpUntil([this] { return m_dCompleteSeconds != 0; }, dwTimeoutMs);
    }

    // BenchSeconds and BenchCpuSeconds when the completion report arrived.
    double m_dCompleteSeconds = 0;
    double m_dCompleteCpuSeconds = 0;
};
