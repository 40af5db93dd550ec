// The transfer harness: a real window receiving the worker's reports.
#include "TransferRun.h"
#include "DeviceSimControl.h"
#include "device/FirmwareTransfer.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"

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
    LRESULT OnUpdateBegin(WPARAM wParam, LPARAM /*lParam*/)
    {
        if (m_pSim != nullptr)
            m_transfer.m_nSearchesAtBegin = m_pSim->EnumerationCount();
        Record('B', wParam);
        if (m_nStopAt == 0)
            StopTransfer();
        return 0;
    }

    LRESULT OnUpdateProgress(WPARAM wParam, LPARAM /*lParam*/)
    {
        const bool bDrain = std::find(m_arrDrainedAt.begin(), m_arrDrainedAt.end(), wParam) != m_arrDrainedAt.end();
        Record('P', wParam, bDrain ? DrainedDeviceBytes() : 0);
        if (m_nStopAt == static_cast<int>(wParam))
            StopTransfer();
        return 0;
    }

    LRESULT OnUpdateComplete(WPARAM wParam, LPARAM /*lParam*/)
    {
        m_transfer.m_pImageAtComplete = g_pImage;
        m_transfer.m_nImageSizeAtComplete = g_nImageSize;
        Record('C', wParam);
        return 0;
    }

    DECLARE_MESSAGE_MAP()

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

BEGIN_MESSAGE_MAP(CTransferWindow, CReportWindow)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_BEGIN, OnUpdateBegin)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_PROGRESS, OnUpdateProgress)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_COMPLETE, OnUpdateComplete)
END_MESSAGE_MAP()
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
