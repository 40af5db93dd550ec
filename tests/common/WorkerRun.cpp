// The worker-test harness.
#include "WorkerRun.h"
#include "app/OrvekUpdater.h"
#include <sstream>

namespace
{
struct CBoxSearch
{
    HWND m_hOwner;
    HWND m_hBox;
};

BOOL CALLBACK FindBoxProc(HWND hWnd, LPARAM lParam)
{
    CBoxSearch* pSearch = reinterpret_cast<CBoxSearch*>(lParam);
    WCHAR szClass[16] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") == 0 && ::GetWindow(hWnd, GW_OWNER) == pSearch->m_hOwner &&
        ::IsWindowVisible(hWnd))
    {
        pSearch->m_hBox = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwnedBox(HWND hOwner)
{
    CBoxSearch search = {hOwner, nullptr};
    ::EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
    return search.m_hBox;
}

void FlushEvents()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD dwMs)
{
    const DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < dwMs)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        FlushEvents();
    }
}

std::wstring WindowText(HWND hWnd)
{
    WCHAR szText[2048] = L"";
    ::GetWindowTextW(hWnd, szText, 2048);
    return szText;
}

// Reads the box and presses its one button, as a user would.
CFailureBox DismissBox(HWND hBox, CReportWindow& wnd)
{
    CFailureBox box;
    box.m_strText = WindowText(::GetDlgItem(hBox, 0xFFFF));
    box.m_strCaption = WindowText(hBox);
    box.m_bOwnerDisabled = !::IsWindowEnabled(wnd.m_hWnd);
    const size_t nBefore = wnd.m_nReports;
    box.m_nReportsBefore = nBefore;
    // Give a wrongly early report the chance to arrive.
    PumpFor(300);
    box.m_nReportsWhileUp = wnd.m_nReports - nBefore;

    HWND hButton = ::GetDlgItem(hBox, IDOK);
    if (hButton == nullptr || !::IsWindowVisible(hButton))
        hButton = ::GetDlgItem(hBox, IDCANCEL);
    ::SendMessageW(hButton, BM_CLICK, 0, 0);
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
        text << ", \"";
        for (wchar_t ch : box.m_strText)
            text << (ch < 128 ? static_cast<char>(ch) : '?');
        text << '"';
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

void CReportWindow::Record(char chKind, WPARAM wParam, unsigned long long nDeviceBytes)
{
    m_run.m_arrReports.push_back({chKind, wParam, nDeviceBytes, ::GetTickCount()});
    ++m_nReports;
}

void RunWorker(AFX_THREADPROC pfnWorker, CReportWindow& wnd, CWorkerRun& run, DWORD dwTimeoutMs)
{
    theApp.m_pMainWnd = &wnd;
    const DWORD dwStart = ::GetTickCount();
    CWinThread* pThread = AfxBeginThread(pfnWorker, wnd.m_hWnd, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
    {
        theApp.m_pMainWnd = nullptr;
        return;
    }
    // Kept, so that the run can wait for the worker's end.
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();

    HANDLE hThread = pThread->m_hThread;
    while (::GetTickCount() - dwStart < dwTimeoutMs)
    {
        const DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, 20, QS_ALLINPUT);
        FlushEvents();
        if (dwWait == WAIT_OBJECT_0)
        {
            run.m_bFinished = true;
            break;
        }
        if (HWND hBox = FindOwnedBox(wnd.m_hWnd))
        {
            const DWORD dwShownAfter = ::GetTickCount() - dwStart;
            run.m_arrBoxes.push_back(DismissBox(hBox, wnd));
            run.m_arrBoxes.back().m_dwShownAfterMs = dwShownAfter;
        }
    }
    run.m_dwElapsedMs = ::GetTickCount() - dwStart;
    FlushEvents();

    if (run.m_bFinished)
        delete pThread;
    theApp.m_pMainWnd = nullptr;
}
