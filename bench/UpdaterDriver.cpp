// Drives a real OrvekUpdater.exe (or the blank window) for the benchmarks,
// as a user would, with one simulated device plugged in:
//   UpdaterDriver.exe start EXE TITLE   time from CreateProcess to the window shown in its first state
//   UpdaterDriver.exe update EXE SIZE   "ready" once connected; after a line on stdin, click the button
//                                       and time to "Orvek successfully updated!" (and to "Download complete!")
//   UpdaterDriver.exe idle EXE          "ready" once connected; after a line on stdin, close it
// The harness reads the program's CPU time and memory from /proc between
// "ready" and the result. Output: "result seconds=S" (or "result ok").
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "DeviceSimControl.h"
#include "Stopwatch.h"
#include "WindowWatch.h"
#include "device/FirmwareTransfer.h"
#include "resource.h"

namespace
{
constexpr DWORD kTimeoutMs = 300000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kPollMs = 10;
constexpr int kMessageTextId = 0xFFFF;
const char kDevice[] = "bench";
const wchar_t kConnected[] = L"Orvek connected!";
const wchar_t kUpdated[] = L"Orvek successfully updated!";
const wchar_t kDownloaded[] = L"Download complete!";

class CChildProcess
{
public:
    ~CChildProcess()
    {
        if (m_info.hProcess == nullptr)
            return;
        if (::WaitForSingleObject(m_info.hProcess, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(m_info.hProcess, 1);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }

    bool Start(const char* pszExe)
    {
        std::string strCommandLine = std::string("\"") + pszExe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (::CreateProcessA(nullptr, &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &m_info))
            return true;
        fprintf(stderr, "UpdaterDriver: cannot start %s, error %lu\n", pszExe, ::GetLastError());
        m_info = PROCESS_INFORMATION();
        return false;
    }

    DWORD Id() const { return m_info.dwProcessId; }
    bool HasEnded() const { return ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0; }

    bool WaitForExit()
    {
        if (::WaitForSingleObject(m_info.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0)
            return true;
        fprintf(stderr, "UpdaterDriver: the program did not end within %lu ms\n", kExitTimeoutMs);
        return false;
    }

private:
    PROCESS_INFORMATION m_info = {};
};

// Polls until bCondition(hWnd) holds for the program's window; the window, or null on timeout or exit.
template <typename TCondition>
HWND WaitForWindow(CChildProcess& child, const wchar_t* pszTitle, TCondition bCondition)
{
    const DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < kTimeoutMs && !child.HasEnded())
    {
        HWND hWnd = FindProcessWindow(child.Id(), pszTitle);
        if (hWnd != nullptr && bCondition(hWnd))
            return hWnd;
        ::Sleep(1);
    }
    fprintf(stderr, "UpdaterDriver: the window did not reach the awaited state\n");
    return nullptr;
}

bool StartDevice(CDeviceSimulator& simulator)
{
    if (simulator.Start() && simulator.Plug(kDevice))
        return true;
    fprintf(stderr, "UpdaterDriver: the device simulator: %s\n", simulator.LastReply().c_str());
    return false;
}

bool WaitForHarness()
{
    printf("ready\n");
    fflush(stdout);
    char szLine[64];
    return fgets(szLine, sizeof(szLine), stdin) != nullptr;
}

std::wstring Widen(const char* psz)
{
    std::wstring str;
    for (; *psz != '\0'; ++psz)
        str += static_cast<wchar_t>(static_cast<unsigned char>(*psz));
    return str;
}

int RunStart(const char* pszExe, const char* pszTitle)
{
    CDeviceSimulator simulator;
    if (!StartDevice(simulator))
        return 1;
    const std::wstring strTitle = Widen(pszTitle);
    CChildProcess child;
    const double dStart = BenchSeconds();
    if (!child.Start(pszExe))
        return 1;
    HWND hWnd = WaitForWindow(child, strTitle.c_str(), IsShownInState);
    const double dSeconds = BenchSeconds() - dStart;
    if (hWnd == nullptr)
        return 1;
    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    if (!child.WaitForExit())
        return 1;
    printf("result seconds=%.6f\n", dSeconds);
    return 0;
}

int RunUpdate(const char* pszExe, DWORD dwSize)
{
    CDeviceSimulator simulator;
    if (!StartDevice(simulator))
        return 1;
    CChildProcess child;
    if (!child.Start(pszExe))
        return 1;
    HWND hWnd = WaitForWindow(child, L"Orvek Updater", [](HWND h) { return ShowsStatus(h, kConnected); });
    if (hWnd == nullptr || !WaitForHarness())
        return 1;

    const double dStart = BenchSeconds();
    ::SendMessageW(::GetDlgItem(hWnd, IDOK), BM_CLICK, 0, 0);
    double dSeconds = 0;
    double dDownloadSeconds = 0;
    for (;;)
    {
        if (dDownloadSeconds == 0 && ControlText(hWnd, IDC_STATIC_DOWNLOAD) == kDownloaded)
            dDownloadSeconds = BenchSeconds() - dStart;
        if (ShowsStatus(hWnd, kUpdated))
        {
            dSeconds = BenchSeconds() - dStart;
            break;
        }
        HWND hBox = FindProcessWindow(child.Id(), nullptr, L"#32770", hWnd);
        if (hBox != nullptr && ::GetDlgItem(hBox, kMessageTextId) != nullptr)
        {
            fwprintf(stderr, L"UpdaterDriver: the program says \"%ls\"\n", ControlText(hBox, kMessageTextId).c_str());
            return 1;
        }
        if (child.HasEnded() || BenchSeconds() - dStart > kTimeoutMs / 1000.0)
        {
            fprintf(stderr, "UpdaterDriver: the update did not finish\n");
            return 1;
        }
        ::Sleep(kPollMs);
    }

    CDeviceStats stats;
    if (!simulator.WaitIdle(kDevice) || !simulator.GetStats(kDevice, stats)
        || stats.m_nPipeBytes != dwSize - IMAGE_HEAD_SIZE + IMAGE_HEAD_SEND_SIZE)
    {
        fprintf(stderr, "UpdaterDriver: the device received %llu bytes, not %lu\n", stats.m_nPipeBytes,
                dwSize - IMAGE_HEAD_SIZE + IMAGE_HEAD_SEND_SIZE);
        return 1;
    }
    ::SendMessageW(::GetDlgItem(hWnd, IDOK), BM_CLICK, 0, 0);
    if (!child.WaitForExit())
        return 1;
    printf("result seconds=%.6f download_seconds=%.6f\n", dSeconds, dDownloadSeconds);
    return 0;
}

int RunIdle(const char* pszExe)
{
    CDeviceSimulator simulator;
    if (!StartDevice(simulator))
        return 1;
    CChildProcess child;
    if (!child.Start(pszExe))
        return 1;
    HWND hWnd = WaitForWindow(child, L"Orvek Updater", [](HWND h) { return ShowsStatus(h, kConnected); });
    if (hWnd == nullptr || !WaitForHarness())
        return 1;
    if (!ShowsStatus(hWnd, kConnected))
    {
        fprintf(stderr, "UpdaterDriver: the window left the connected state while idle\n");
        return 1;
    }
    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    if (!child.WaitForExit())
        return 1;
    printf("result ok\n");
    return 0;
}
}

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "start") == 0)
        return RunStart(argv[2], argv[3]);
    if (argc == 4 && strcmp(argv[1], "update") == 0 && strtoul(argv[3], nullptr, 10) > IMAGE_HEAD_SIZE)
        return RunUpdate(argv[2], strtoul(argv[3], nullptr, 10));
    if (argc == 3 && strcmp(argv[1], "idle") == 0)
        return RunIdle(argv[2]);
    fprintf(stderr, "usage: UpdaterDriver start EXE TITLE | update EXE SIZE | idle EXE\n");
    return 2;
}
