// Times what one progress report costs on top of a worker's own work:
//   ProgressBench.exe send COUNT      the hand-off: a worker thread's SendMessageW of UWM_UPDATE_PROGRESS to
//                                     a window on this thread, until the handler has returned
//   ProgressBench.exe repaint COUNT   the updater window's handling: PBM_SETPOS on the download bar of the
//                                     real dialog template, shown, which repaints the bar at once
// Output: "result seconds=S count=N", S per report (for repaint the median of ten batches).
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "Stopwatch.h"
#include "TimedReportWindow.h"
#include "app/Notifications.h"
#include "support/Wait.h"
#include "framework/afxwin.h"
#include "resource.h"

namespace
{
constexpr int kBatches = 10;
constexpr DWORD kTimeoutMs = 60000;

struct SSender
{
    HWND m_hWnd;
    int m_nCount;
};

UINT AFX_CDECL SendReports(LPVOID pParam)
{
    const SSender* pSender = static_cast<const SSender*>(pParam);
    for (int i = 1; i <= pSender->m_nCount; ++i)
        ::SendMessageW(pSender->m_hWnd, UWM_UPDATE_PROGRESS, static_cast<WPARAM>(i), 0);
    ::SendMessageW(pSender->m_hWnd, UWM_UPDATE_COMPLETE, 1, 0);
    return 0;
}

int RunSend(int nCount)
{
    CWorkerRun run;
    CTimedReportWindow window(run);
    if (!window.Create())
    {
        fprintf(stderr, "ProgressBench: cannot create the report window, error %lu\n", ::GetLastError());
        return 1;
    }
    SSender sender = { window.GetSafeHwnd(), nCount };
    const double dStart = BenchSeconds();
    AfxBeginThread(SendReports, &sender);
    if (!window.WaitForCompletion(kTimeoutMs) || run.Percentages().size() != static_cast<size_t>(nCount))
    {
        fprintf(stderr, "ProgressBench: the reports did not all arrive\n");
        return 1;
    }
    const double dSeconds = window.m_dCompleteSeconds - dStart;
    printf("result seconds=%.9f count=%d\n", dSeconds / (nCount + 1), nCount);
    return 0;
}

INT_PTR CALLBACK DialogProc(HWND, UINT nMessage, WPARAM, LPARAM)
{
    return nMessage == WM_INITDIALOG ? TRUE : FALSE;
}

int RunRepaint(int nCount)
{
    INITCOMMONCONTROLSEX initControls = { sizeof(initControls), ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&initControls);
    HWND hDialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER_DIALOG), nullptr,
                                        DialogProc, 0);
    HWND hBar = hDialog == nullptr ? nullptr : ::GetDlgItem(hDialog, IDC_PROGRESS_DOWNLOAD);
    if (hBar == nullptr)
    {
        fprintf(stderr, "ProgressBench: cannot create the dialog, error %lu\n", ::GetLastError());
        return 1;
    }
    ::ShowWindow(hDialog, SW_SHOW);
    ::ShowWindow(hBar, SW_SHOW);
    ::UpdateWindow(hDialog);
    PumpMessages();

    std::vector<double> arrPerCall;
    for (int nBatch = 0; nBatch < kBatches; ++nBatch)
    {
        ::SendMessageW(hBar, PBM_SETPOS, 0, 0);
        PumpMessages();
        const double dStart = BenchSeconds();
        for (int i = 1; i <= nCount; ++i)
            ::SendMessageW(hBar, PBM_SETPOS, static_cast<WPARAM>(i * 100 / nCount), 0);
        arrPerCall.push_back((BenchSeconds() - dStart) / nCount);
    }
    std::nth_element(arrPerCall.begin(), arrPerCall.begin() + kBatches / 2, arrPerCall.end());
    printf("result seconds=%.9f count=%d\n", arrPerCall[kBatches / 2], nCount);
    ::DestroyWindow(hDialog);
    return 0;
}
}

int main(int argc, char** argv)
{
    const int nCount = argc == 3 ? atoi(argv[2]) : 0;
    if (nCount > 0 && strcmp(argv[1], "send") == 0)
        return RunSend(nCount);
    if (nCount > 0 && strcmp(argv[1], "repaint") == 0)
        return RunRepaint(nCount);
    fprintf(stderr, "usage: ProgressBench send|repaint COUNT\n");
    return 2;
}
