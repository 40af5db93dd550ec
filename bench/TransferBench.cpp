// Writes an image into a simulated device's PIPE00 once and prints how long
// it took:
//   TransferBench.exe bare SIZE     a bare loop: the 20 head bytes, then the body in 2048-byte writes
//   TransferBench.exe worker SIZE   the program's transfer worker, reporting to a hidden window
// Both are checked afterwards against what the simulator received.
// Output: "result seconds=S cpu=C bytes=N crc=XXXXXXXX reports=P", C being
// this process's CPU time over the same stretch.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "Crc32.h"
#include "DeviceSimControl.h"
#include "Stopwatch.h"
#include "TimedReportWindow.h"
#include "app/ImageBuffer.h"
#include "app/WorkerStart.h"
#include "device/FirmwareTransfer.h"
#include "framework/afxwin.h"
#include "support/TransferRun.h"

namespace
{
constexpr DWORD kTimeoutMs = 300000;
const char kDevice[] = "bench";

bool WriteAll(HANDLE hPipe, const unsigned char* pBytes, DWORD dwCount)
{
    DWORD dwWritten = 0;
    return ::WriteFile(hPipe, pBytes, dwCount, &dwWritten, nullptr) && dwWritten == dwCount;
}

bool RunBare(const std::string& strInterfacePath, const std::vector<unsigned char>& arrImage, double& dSeconds,
             double& dCpuSeconds)
{
    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    const std::string strPipe = strInterfacePath + "\\PIPE00";
    HANDLE hPipe = ::CreateFileA(strPipe.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (hPipe == INVALID_HANDLE_VALUE)
    {
        fprintf(stderr, "TransferBench: cannot open %s, error %lu\n", strPipe.c_str(), ::GetLastError());
        return false;
    }
    bool bOk = WriteAll(hPipe, arrImage.data(), IMAGE_HEAD_SEND_SIZE);
    for (DWORD dwOffset = IMAGE_HEAD_SIZE; bOk && dwOffset < arrImage.size(); dwOffset += TRANSFER_CHUNK_SIZE)
    {
        const DWORD dwLeft = static_cast<DWORD>(arrImage.size()) - dwOffset;
        bOk = WriteAll(hPipe, &arrImage[dwOffset], dwLeft < TRANSFER_CHUNK_SIZE ? dwLeft : TRANSFER_CHUNK_SIZE);
    }
    if (!bOk)
        fprintf(stderr, "TransferBench: WriteFile failed, error %lu\n", ::GetLastError());
    ::CloseHandle(hPipe);
    dSeconds = BenchSeconds() - dStart;
    dCpuSeconds = BenchCpuSeconds() - dCpuStart;
    return bOk;
}

bool RunWorker(const std::vector<unsigned char>& arrImage, double& dSeconds, double& dCpuSeconds, int& nReports)
{
    CWorkerRun run;
    CTimedReportWindow window(run);
    if (!window.Create())
    {
        fprintf(stderr, "TransferBench: cannot create the report window, error %lu\n", ::GetLastError());
        return false;
    }
    SetImage(arrImage);

    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    StartWorker(UpdateThreadProc, window.GetSafeHwnd());
    if (!window.WaitForCompletion(kTimeoutMs))
    {
        fprintf(stderr, "TransferBench: no completion report within %lu ms\n", kTimeoutMs);
        return false;
    }
    dSeconds = window.m_dCompleteSeconds - dStart;
    dCpuSeconds = window.m_dCompleteCpuSeconds - dCpuStart;
    nReports = static_cast<int>(run.Percentages().size());
    if (g_pImage != nullptr || g_nImageSize != 0)
    {
        fprintf(stderr, "TransferBench: the worker left the image buffer in place\n");
        return false;
    }
    return true;
}
}

int main(int argc, char** argv)
{
    const bool bBare = argc == 3 && strcmp(argv[1], "bare") == 0;
    const bool bWorker = argc == 3 && strcmp(argv[1], "worker") == 0;
    const DWORD dwSize = argc == 3 ? strtoul(argv[2], nullptr, 10) : 0;
    if ((!bBare && !bWorker) || dwSize <= IMAGE_HEAD_SIZE)
    {
        fprintf(stderr, "usage: TransferBench bare|worker SIZE (SIZE > %u)\n", IMAGE_HEAD_SIZE);
        return 2;
    }

    CDeviceSimulator simulator;
    std::string strPath;
    if (!simulator.Start() || !simulator.Plug(kDevice, &strPath))
    {
        fprintf(stderr, "TransferBench: the device simulator: %s\n", simulator.LastReply().c_str());
        return 1;
    }
    const std::vector<unsigned char> arrImage = MakeImage(dwSize);

    double dSeconds = 0;
    int nReports = 0;
    double dCpuSeconds = 0;
    if (!(bBare ? RunBare(strPath, arrImage, dSeconds, dCpuSeconds)
                : RunWorker(arrImage, dSeconds, dCpuSeconds, nReports)))
        return 1;

    if (!simulator.WaitIdle(kDevice, kTimeoutMs))
    {
        fprintf(stderr, "TransferBench: the device still has a connection open\n");
        return 1;
    }
    const std::vector<unsigned char> arrReceived = simulator.RecordedBytes(kDevice);
    if (arrReceived != DeviceStream(arrImage))
    {
        fprintf(stderr, "TransferBench: the device received %lu bytes, not the expected %lu\n",
                static_cast<unsigned long>(arrReceived.size()),
                static_cast<unsigned long>(dwSize - IMAGE_HEAD_SIZE + IMAGE_HEAD_SEND_SIZE));
        return 1;
    }
    printf("result seconds=%.6f cpu=%.3f bytes=%lu crc=%08lx reports=%d\n", dSeconds, dCpuSeconds,
           static_cast<unsigned long>(arrReceived.size()),
           static_cast<unsigned long>(Crc32(arrReceived.data(), arrReceived.size())), nReports);
    return 0;
}
