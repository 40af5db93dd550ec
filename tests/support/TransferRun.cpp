// The transfer harness: a real window receiving the worker's reports.
#include "support/TransferRun.h"
#include "DeviceSimControl.h"
#include "device/FirmwareTransfer.h"
#include "app/ImageBuffer.h"

#include <algorithm>

namespace
{
// The worker waits inside the progress report, so once the device's count
// stops moving it has taken in everything written so far.
unsigned long long DrainedDeviceBytes(CDeviceSimulator& sim, const std::string& strDevice)
{
    CDeviceStats stats;
    unsigned long long nLast = ~0ull;
    int nSteady = 0;
    for (int nPoll = 0; nPoll < 500 && nSteady < 3; ++nPoll)
    {
        if (!sim.GetStats(strDevice, stats))
            return ~0ull;
        nSteady = stats.m_nPipeBytes == nLast ? nSteady + 1 : 0;
        nLast = stats.m_nPipeBytes;
        ::Sleep(10);
    }
    return nLast;
}
}

long long CTransferRun::DeviceBytesAt(WPARAM nPercent) const
{
    for (const CReport& report : m_arrReports)
        if (report.m_chKind == 'P' && report.m_wParam == nPercent)
            return static_cast<long long>(report.m_nDeviceBytes);
    return -1;
}

CTransferRun RunTransfer(CDeviceSimulator* pSim, const std::string& strDevice, DWORD dwTimeoutMs,
                         const std::vector<WPARAM>& arrDrainedAt, int nStopAt)
{
    CTransferRun run;
    CReportWindow wnd(run);
    wnd.m_fnOnReport = [&](CReport& report) {
        if (report.m_chKind == 'B')
        {
            if (pSim != nullptr)
                run.m_nSearchesAtBegin = pSim->EnumerationCount();
            if (nStopAt == 0)
                StopTransfer();
        }
        else if (report.m_chKind == 'P')
        {
            if (pSim != nullptr
                && std::find(arrDrainedAt.begin(), arrDrainedAt.end(), report.m_wParam) != arrDrainedAt.end())
                report.m_nDeviceBytes = DrainedDeviceBytes(*pSim, strDevice);
            if (nStopAt == static_cast<int>(report.m_wParam))
                StopTransfer();
        }
        else
        {
            run.m_pImageAtComplete = g_pImage;
            run.m_nImageSizeAtComplete = g_nImageSize;
        }
    };
    if (wnd.Create(L"OrvekTransferTestWindow", L"Transfer test", FALSE))
        RunWorker(UpdateThreadProc, wnd, run, dwTimeoutMs);
    return run;
}

void SetImage(const std::vector<unsigned char>& image)
{
    ReleaseImage();
    g_pImage = new BYTE[image.size()];
    std::copy(image.begin(), image.end(), g_pImage);
    g_nImageSize = static_cast<UINT32>(image.size());
}
