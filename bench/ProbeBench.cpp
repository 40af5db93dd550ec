// Times presence probes with one simulated device plugged in:
//   ProbeBench.exe probe COUNT   the program's probe: OpenDevice, then CloseHandle
//   ProbeBench.exe open COUNT    only the open and close of the interface path the probe finds
// The calls are paced, as the program's poll paces them: the simulator needs
// a moment to offer a fresh pipe instance after each close.
// Output: "result seconds=MEDIAN mean=S max=S count=N", per call.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>
#include "DeviceSimControl.h"
#include "Stopwatch.h"
#include "device/DeviceDiscovery.h"

namespace
{
constexpr DWORD kPauseMs = 20;

HANDLE OpenPath(const std::string& strPath)
{
    return ::CreateFileA(strPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}
}

int main(int argc, char** argv)
{
    const bool bProbe = argc == 3 && strcmp(argv[1], "probe") == 0;
    const bool bOpen = argc == 3 && strcmp(argv[1], "open") == 0;
    const int nCount = argc == 3 ? atoi(argv[2]) : 0;
    if ((!bProbe && !bOpen) || nCount <= 0)
    {
        fprintf(stderr, "usage: ProbeBench probe|open COUNT\n");
        return 2;
    }

    CDeviceSimulator simulator;
    std::string strPath;
    if (!simulator.Start() || !simulator.Plug("bench", &strPath))
    {
        fprintf(stderr, "ProbeBench: the device simulator: %s\n", simulator.LastReply().c_str());
        return 1;
    }

    std::vector<double> arrSeconds;
    arrSeconds.reserve(nCount);
    for (int i = 0; i < nCount; ++i)
    {
        ::Sleep(kPauseMs);
        const double dStart = BenchSeconds();
        HANDLE hDevice = bProbe ? OpenDevice() : OpenPath(strPath);
        if (hDevice == INVALID_HANDLE_VALUE)
        {
            fprintf(stderr, "ProbeBench: call %d found no device, error %lu\n", i, ::GetLastError());
            return 1;
        }
        ::CloseHandle(hDevice);
        arrSeconds.push_back(BenchSeconds() - dStart);
    }
    if (bProbe && strPath != g_szDevicePath)
    {
        fprintf(stderr, "ProbeBench: the probe found %s, not %s\n", g_szDevicePath, strPath.c_str());
        return 1;
    }

    const double dMean = std::accumulate(arrSeconds.begin(), arrSeconds.end(), 0.0) / nCount;
    const double dMax = *std::max_element(arrSeconds.begin(), arrSeconds.end());
    std::nth_element(arrSeconds.begin(), arrSeconds.begin() + nCount / 2, arrSeconds.end());
    printf("result seconds=%.9f mean=%.9f max=%.9f count=%d\n", arrSeconds[nCount / 2], dMean, dMax, nCount);
    return 0;
}
