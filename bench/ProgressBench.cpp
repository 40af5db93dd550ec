// Times what one progress report costs the updater window on top of the
// worker: a PBM_SETPOS on the download bar of the real dialog template,
// shown, which repaints the bar at once.
//   ProgressBench.exe COUNT
// Output: "result seconds=S count=N", S per call (the median of ten batches).
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "Stopwatch.h"
#include "resource.h"

namespace
{
constexpr int kBatches = 10;

INT_PTR CALLBACK DialogProc(HWND, UINT nMessage, WPARAM, LPARAM)
{
    return nMessage == WM_INITDIALOG ? TRUE : FALSE;
}

void FlushMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
}

int main(int argc, char** argv)
{
    const int nCount = argc == 2 ? atoi(argv[1]) : 0;
    if (nCount <= 0)
    {
        fprintf(stderr, "usage: ProgressBench COUNT\n");
        return 2;
    }
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
    FlushMessages();

    std::vector<double> arrPerCall;
    for (int nBatch = 0; nBatch < kBatches; ++nBatch)
    {
        ::SendMessageW(hBar, PBM_SETPOS, 0, 0);
        FlushMessages();
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
