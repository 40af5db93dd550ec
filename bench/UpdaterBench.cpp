// Times the real OrvekUpdater.exe (or the blank window), driven from outside
// as a user would, over the device simulator:
//   UpdaterBench.exe start updater|blank   from CreateProcess until the window is shown in its first state
//   UpdaterBench.exe update SIZE           "ready" once connected; after a line on stdin, click the button
//                                          and time to "Orvek successfully updated!" (and to "Download complete!")
//   UpdaterBench.exe idle connected|disconnected
//                                          "ready" with the window's and its button's screen places once it
//                                          waits in that state; after a line on stdin, check that it still
//                                          does, note where the pointer is, and close it
// The harness reads the program's CPU time and memory from /proc between
// "ready" and the result, and places the pointer.
// Output: "result seconds=S ..." or, for idle, "result pointer=button|window|outside".
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "DeviceSimControl.h"
#include "Stopwatch.h"
#include "support/Controls.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include "device/FirmwareTransfer.h"
#include "support/UpdaterWindow.h"
#include "resource.h"

namespace
{
constexpr DWORD kTimeoutMs = 300000;
constexpr DWORD kExitTimeoutMs = 10000;
// The timed stretches read the window lightly at a fixed pace, so that the
// figure is the program's and not the reader's.
constexpr DWORD kStartPollMs = 1;
constexpr DWORD kUpdatePollMs = 10;
const char kDevice[] = "bench";

int Fail(const char* pszWhat)
{
    fprintf(stderr, "UpdaterBench: %s\n", pszWhat);
    return 1;
}

bool StartDevice(CDeviceSimulator& simulator, bool bPlug)
{
    if (simulator.Start() && (!bPlug || simulator.Plug(kDevice)))
        return true;
    fprintf(stderr, "UpdaterBench: the device simulator: %s\n", simulator.LastReply().c_str());
    return false;
}

// The updater window with its status line shown: its first state is drawn.
bool IsUpdaterShown(HWND hWnd)
{
    return CUpdaterWindow::IsUpdaterWindow(hWnd) && IsControlShown(hWnd, IDC_STATIC_STATUS);
}

// The updater over the device simulator, its window waiting in one state.
class CUpdaterRun
{
public:
    // Starts both, with the device plugged in or not, and waits until the
    // window shows the expected view.
    bool Start(bool bPlug, const CWindowView& expected)
    {
        if (!StartDevice(m_simulator, bPlug))
            return false;
        if (!StartUpdaterProcess(m_process))
        {
            fprintf(stderr, "UpdaterBench: cannot start the updater, error %lu\n", m_process.LastError());
            return false;
        }
        const HWND hWnd = WaitForUpdaterWindow(m_process, kTimeoutMs);
        if (hWnd == nullptr)
        {
            Fail("the updater window did not appear");
            return false;
        }
        m_window.Attach(hWnd);
        if (m_window.WaitForView(expected, kTimeoutMs))
            return true;
        fprintf(stderr, "UpdaterBench: the window shows %s, not %s\n", m_window.Current().Describe().c_str(),
                expected.Describe().c_str());
        return false;
    }

    // Declared first, so that it outlives the program that uses it.
    CDeviceSimulator m_simulator;
    CChildProcess m_process;
    CUpdaterWindow m_window;
};

bool WaitForHarness()
{
    char szLine[64];
    return fgets(szLine, sizeof(szLine), stdin) != nullptr;
}

int RunStart(bool bBlank)
{
    CDeviceSimulator simulator;
    if (!StartDevice(simulator, true))
        return 1;
    CChildProcess process;
    CWindowSearch search;
    search.m_bVisible = true;
    if (bBlank)
    {
        search.m_pszClass = nullptr;
        search.m_pszTitle = L"Orvek Blank";
    }
    else
        search.m_pfnMatch = IsUpdaterShown;

    const double dStart = BenchSeconds();
    if (!(bBlank ? StartUpdaterProcess(process, ProgramFolder(), "BlankWindow.exe") : StartUpdaterProcess(process)))
        return Fail("cannot start the program");
    search.m_dwProcessId = process.ProcessId();
    HWND hWnd = nullptr;
    WaitFor([&] { return (hWnd = FindTopWindow(search)) != nullptr || process.HasEnded(); }, kTimeoutMs,
            kStartPollMs);
    const double dSeconds = BenchSeconds() - dStart;
    if (hWnd == nullptr)
        return Fail("the window was not shown");
    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(kExitTimeoutMs))
        return Fail("the program did not end");
    printf("result seconds=%.6f\n", dSeconds);
    return 0;
}

int RunUpdate(DWORD dwSize)
{
    CUpdaterRun run;
    if (!run.Start(true, CWindowView::Connected()))
        return 1;
    CUpdaterWindow& window = run.m_window;
    printf("ready\n");
    fflush(stdout);
    if (!WaitForHarness())
        return 1;

    const HWND hWnd = window.Handle();
    const std::wstring strUpdated = CWindowView::Done().m_status.m_strText;
    double dDownloadSeconds = 0;
    HWND hBox = nullptr;
    bool bUpdated = false;
    const double dStart = BenchSeconds();
    window.ClickButton();
    WaitFor(
        [&] {
            if (dDownloadSeconds == 0 && ReadControlText(hWnd, IDC_STATIC_DOWNLOAD) == DOWNLOAD_COMPLETE)
                dDownloadSeconds = BenchSeconds() - dStart;
            bUpdated = IsControlShown(hWnd, IDC_STATIC_STATUS) && ReadControlText(hWnd, IDC_STATIC_STATUS) == strUpdated;
            return bUpdated || (hBox = window.FindMessageBox()) != nullptr || run.m_process.HasEnded();
        },
        kTimeoutMs, kUpdatePollMs);
    const double dSeconds = BenchSeconds() - dStart;
    if (hBox != nullptr)
    {
        fwprintf(stderr, L"UpdaterBench: the program says \"%ls\"\n", ReadControlText(hBox, MESSAGE_TEXT_ID).c_str());
        return 1;
    }
    if (!bUpdated)
        return Fail("the update did not finish");

    const unsigned long long nExpected = dwSize - IMAGE_HEAD_SIZE + IMAGE_HEAD_SEND_SIZE;
    CDeviceStats stats;
    if (!run.m_simulator.WaitIdle(kDevice) || !run.m_simulator.GetStats(kDevice, stats)
        || stats.m_nPipeBytes != nExpected)
    {
        fprintf(stderr, "UpdaterBench: the device received %llu bytes, not %llu\n", stats.m_nPipeBytes, nExpected);
        return 1;
    }
    window.ClickButton();
    if (!run.m_process.WaitForExit(kExitTimeoutMs))
        return Fail("the program did not end");
    printf("result seconds=%.6f download_seconds=%.6f\n", dSeconds, dDownloadSeconds);
    return 0;
}

int RunIdle(bool bConnected)
{
    CUpdaterRun run;
    const CWindowView expected = bConnected ? CWindowView::Connected() : CWindowView::Disconnected();
    if (!run.Start(bConnected, expected))
        return 1;
    CUpdaterWindow& window = run.m_window;
    RECT rcWindow = {};
    RECT rcButton = {};
    ::GetWindowRect(window.Handle(), &rcWindow);
    if (bConnected)
        ::GetWindowRect(::GetDlgItem(window.Handle(), IDOK), &rcButton);
    printf("ready left=%ld top=%ld right=%ld bottom=%ld button_x=%ld button_y=%ld\n", rcWindow.left, rcWindow.top,
           rcWindow.right, rcWindow.bottom, (rcButton.left + rcButton.right) / 2,
           (rcButton.top + rcButton.bottom) / 2);
    fflush(stdout);
    if (!WaitForHarness())
        return 1;

    POINT ptPointer = {};
    if (!::GetCursorPos(&ptPointer))
        return Fail("cannot read the pointer's place");
    const char* pszPointer = ::PtInRect(&rcButton, ptPointer)   ? "button"
                             : ::PtInRect(&rcWindow, ptPointer) ? "window"
                                                                : "outside";
    CWindowView view;
    if (!CWindowView::Read(window.Handle(), view) || view != expected)
    {
        fprintf(stderr, "UpdaterBench: the window left its state while idle: %s\n", view.Describe().c_str());
        return 1;
    }
    window.Close();
    if (!run.m_process.WaitForExit(kExitTimeoutMs))
        return Fail("the program did not end");
    printf("result pointer=%s\n", pszPointer);
    return 0;
}
}

int main(int argc, char** argv)
{
    const char* pszMode = argc == 3 ? argv[1] : "";
    const char* pszArgument = argc == 3 ? argv[2] : "";
    if (strcmp(pszMode, "start") == 0 && (strcmp(pszArgument, "updater") == 0 || strcmp(pszArgument, "blank") == 0))
        return RunStart(strcmp(pszArgument, "blank") == 0);
    if (strcmp(pszMode, "update") == 0 && strtoul(pszArgument, nullptr, 10) > IMAGE_HEAD_SIZE)
        return RunUpdate(strtoul(pszArgument, nullptr, 10));
    if (strcmp(pszMode, "idle") == 0
        && (strcmp(pszArgument, "connected") == 0 || strcmp(pszArgument, "disconnected") == 0))
        return RunIdle(strcmp(pszArgument, "connected") == 0);
    fprintf(stderr, "usage: UpdaterBench start updater|blank | update SIZE | idle connected|disconnected\n");
    return 2;
}
