// The transfer harness: a real window receiving the worker's reports.
#include "support/TransferRun.h"
#include "DeviceSimControl.h"
#include "device/FirmwareTransfer.h"
#include "app/ImageBuffer.h"

#include <algorithm>

namespace
{
class CTransferWindow : public CReportWindow
{
public:
    CTransferWindow(CTransferRun& run, CDeviceSimulator* pSim, const std::string& strDevice,
                    const std::vector<WPARAM>& arrDrainedAt, int nStopAt)
        : CReportWindow(run), m_transfer(run), m_pSim(pSim), m_strDevice(strDevice), m_arrDrainedAt(arrDrainedAt),
          m_nStopAt(nStopAt)
    {
    }

protected:
    void OnReport(CReport& report) override
    {
        if (report.m_chKind == 'B')
        {
            if (m_pSim != nullptr)
                m_transfer.m_nSearchesAtBegin = m_pSim->EnumerationCount();
            if (m_nStopAt == 0)
                StopTransfer();
        }
        else if (report.m_chKind == 'P')
        {
            if (std::find(m_arrDrainedAt.begin(), m_arrDrainedAt.end(), report.m_wParam) != m_arrDrainedAt.end())
                report.m_nDeviceBytes = DrainedDeviceBytes();
            if (m_nStopAt == static_cast<int>(report.m_wParam))
                StopTransfer();
        }
        else
        {
            m_transfer.m_pImageAtComplete = g_pImage;
            m_transfer.m_nImageSizeAtComplete = g_nImageSize;
        }
    }

private:
    // The worker waits inside this report, so once the device's count
    // stops moving it has taken in everything written so far.
    unsigned long long DrainedDeviceBytes()
    {
        if (m_pSim == nullptr)
            return 0;
        CDeviceStats stats;
        unsigned long long nLast = ~0ull;
        int nSteady = 0;
        for (int nPoll = 0; nPoll < 500 && nSteady < 3; ++nPoll)
        {
            if (!m_pSim->GetStats(m_strDevice, stats))
                return ~0ull;
            nSteady = stats.m_nPipeBytes == nLast ? nSteady + 1 : 0;
            nLast = stats.m_nPipeBytes;
            ::Sleep(10);
        }
        return nLast;
    }

    CTransferRun& m_transfer;
    CDeviceSimulator* m_pSim;
    std::string m_strDevice;
    std::vector<WPARAM> m_arrDrainedAt;
    int m_nStopAt;
};

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
    CTransferWindow wnd(run, pSim, strDevice, arrDrainedAt, nStopAt);
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
