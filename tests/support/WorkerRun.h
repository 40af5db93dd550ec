// Runs a worker thread against a real window on the test thread, as the
// updater window would: the window records every report, and the run
// dismisses the worker's message boxes as a user would, by finding the box,
// reading its text and pressing OK.
#pragma once
#include "framework/afxwin.h"
#include <functional>
#include <string>
#include <vector>

struct CReport
{
    char m_chKind;  // 'B' begin, 'P' progress, 'C' complete
    WPARAM m_wParam;
    // PIPE00 bytes the device had taken in when the report arrived, where
    // the run watches a device.
    unsigned long long m_nDeviceBytes = 0;
    // GetTickCount when the report arrived.
    DWORD m_dwTick = 0;
};

struct CFailureBox
{
    std::wstring m_strText;
    std::wstring m_strCaption;
    bool m_bOwnerDisabled = false;
    // Reports that had arrived when the box was found.
    size_t m_nReportsBefore = 0;
    // Reports that arrived while the box was up (there should be none).
    size_t m_nReportsWhileUp = 0;
    // From the worker's start to the box being found.
    DWORD m_dwShownAfterMs = 0;
};

struct CWorkerRun
{
    std::vector<CReport> m_arrReports;
    std::vector<CFailureBox> m_arrBoxes;
    bool m_bFinished = false;
    // GetTickCount at the worker's start, and the time it ran.
    DWORD m_dwStartTick = 0;
    DWORD m_dwElapsedMs = 0;

    // The reports as text, e.g. "B P40 P80 P100 C1 (0 boxes)", for failure
    // messages.
    std::string Describe() const;
    std::vector<WPARAM> Percentages() const;
    bool HasBegin() const;
    // The wParam of the completion report, or -1 if none came.
    int Completion() const;
};

// The window the workers report to: it takes either worker's reports and
// records each.
class CReportWindow : public CWnd
{
public:
    explicit CReportWindow(CWorkerRun& run) : m_run(run) {}
    ~CReportWindow() override;

    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszTitle, BOOL bVisible);

    size_t m_nReports = 0;
    // Sees each report first, for what a run also watches; may fill in its
    // m_nDeviceBytes.
    std::function<void(CReport&)> m_fnOnReport;

protected:
    LRESULT OnBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnComplete(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CWorkerRun& m_run;

private:
    void Record(char chKind, WPARAM wParam);
};

// The token a run starts its worker with.
constexpr LPARAM WORKER_RUN_TOKEN = 0x5EED;

// Starts pfnWorker with the window's handle and WORKER_RUN_TOKEN (the window is the main window
// while it runs) and pumps messages until the worker has ended or
// dwTimeoutMs has passed, dismissing each box the worker shows.
void RunWorker(AFX_THREADPROC pfnWorker, CReportWindow& wnd, CWorkerRun& run, DWORD dwTimeoutMs);
