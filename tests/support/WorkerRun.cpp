// The worker-test harness.
#include "support/WorkerRun.h"
#include "app/Notifications.h"
#include "app/OrvekUpdater.h"
#include "app/WorkerStart.h"
#include "support/Controls.h"
#include "support/Press.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include <sstream>

namespace
{
// Reads the box and presses its one button, as a user would.
CFailureBox DismissBox(HWND hBox, CReportWindow& wnd)
{
    CFailureBox box;
    box.m_strText = ReadControlText(hBox, MESSAGE_TEXT_ID);
    box.m_strCaption = TextOf(hBox);
    box.m_bOwnerDisabled = !::IsWindowEnabled(wnd.m_hWnd);
    const size_t nBefore = wnd.m_nReports;
    box.m_nReportsBefore = nBefore;
    // Give a wrongly early report the chance to arrive: the worker would
    // post it as soon as the box is up.
    PumpFor(100);
    box.m_nReportsWhileUp = wnd.m_nReports - nBefore;

    const HWND hButton = ::GetDlgItem(hBox, IDOK);
    PressButton(hBox, hButton != nullptr && ::IsWindowVisible(hButton) ? IDOK : IDCANCEL);
    return box;
}
}

std::string CWorkerRun::Describe() const
{
    std::ostringstream text;
    for (const CReport& report : m_arrReports)
    {
        if (report.m_chKind == 'B')
            text << "B ";
        else
            text << report.m_chKind << report.m_wParam << ' ';
    }
    text << "(" << m_arrBoxes.size() << " boxes";
    for (const CFailureBox& box : m_arrBoxes)
    {
        text << ", \"" << Narrow(box.m_strText) << '"';
    }
    text << ")";
    return text.str();
}

std::vector<WPARAM> CWorkerRun::Percentages() const
{
    std::vector<WPARAM> arrPercent;
    for (const CReport& report : m_arrReports)
        if (report.m_chKind == 'P')
            arrPercent.push_back(report.m_wParam);
    return arrPercent;
}

bool CWorkerRun::HasBegin() const
{
    for (const CReport& report : m_arrReports)
        if (report.m_chKind == 'B')
            return true;
    return false;
}

int CWorkerRun::Completion() const
{
    for (const CReport& report : m_arrReports)
        if (report.m_chKind == 'C')
            return static_cast<int>(report.m_wParam);
    return -1;
}

CReportWindow::~CReportWindow()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CReportWindow::Create(LPCWSTR lpszClassName, LPCWSTR lpszTitle, BOOL bVisible)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = lpszClassName;
    ::RegisterClassW(&wc);
    HWND hWnd = ::CreateWindowExW(0, lpszClassName, lpszTitle,
                                  WS_OVERLAPPEDWINDOW | (bVisible ? WS_VISIBLE : 0), 10, 10, 300, 200,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    return hWnd != nullptr && SubclassWindow(hWnd);
}

BEGIN_MESSAGE_MAP(CReportWindow, CWnd)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_BEGIN, OnBegin)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_PROGRESS, OnProgress)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_COMPLETE, OnComplete)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_BEGIN, OnBegin)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_PROGRESS, OnProgress)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_COMPLETE, OnComplete)
END_MESSAGE_MAP()

LRESULT CReportWindow::OnBegin(WPARAM wParam, LPARAM /*lParam*/)
{
    Record('B', wParam);
    return 0;
}

LRESULT CReportWindow::OnProgress(WPARAM wParam, LPARAM /*lParam*/)
{
    Record('P', wParam);
    return 0;
}

LRESULT CReportWindow::OnComplete(WPARAM wParam, LPARAM /*lParam*/)
{
    Record('C', wParam);
    return 0;
}

void CReportWindow::Record(char chKind, WPARAM wParam)
{
    CReport report = { chKind, wParam, 0, ::GetTickCount() };
    if (m_fnOnReport)
        m_fnOnReport(report);
    m_run.m_arrReports.push_back(report);
    ++m_nReports;
}

void RunWorker(AFX_THREADPROC pfnWorker, CReportWindow& wnd, CWorkerRun& run, DWORD dwTimeoutMs)
{
    theApp.m_pMainWnd = &wnd;
    const DWORD dwStart = ::GetTickCount();
    run.m_dwStartTick = dwStart;
    CWorkerStart* pStart = new CWorkerStart{ wnd.m_hWnd, WORKER_RUN_TOKEN };
    CWinThread* pThread = AfxBeginThread(pfnWorker, pStart, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
    {
        delete pStart;
        theApp.m_pMainWnd = nullptr;
        return;
    }
    // Kept, so that the run can wait for the worker's end.
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();

    HANDLE hThread = pThread->m_hThread;
    run.m_bFinished = PumpUntil(
        [&] {
            if (::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0)
                return true;
            if (HWND hBox = FindTopWindow(ShownDialogs(0, wnd.m_hWnd)))
            {
                const DWORD dwShownAfter = ::GetTickCount() - dwStart;
                run.m_arrBoxes.push_back(DismissBox(hBox, wnd));
                run.m_arrBoxes.back().m_dwShownAfterMs = dwShownAfter;
            }
            return false;
        },
        dwTimeoutMs);
    run.m_dwElapsedMs = ::GetTickCount() - dwStart;
    PumpMessages();

    if (run.m_bFinished)
        delete pThread;
    theApp.m_pMainWnd = nullptr;
}
