// Runs the transfer worker against a real window on the test thread, as the
// updater window would.
#pragma once
#include "support/Image.h"
#include "support/WorkerRun.h"
#include <vector>

class CDeviceSimulator;

struct CTransferRun : CWorkerRun
{
    // The image pair when the completion report arrived.
    BYTE* m_pImageAtComplete = nullptr;
    UINT32 m_nImageSizeAtComplete = 0;
    // Device searches the stand-in had seen when the begin report arrived;
    // only when the run was asked to watch a device.
    unsigned long m_nSearchesAtBegin = 0;

    // The device's byte count at the progress report with this value, or -1.
    long long DeviceBytesAt(WPARAM nPercent) const;
};

// Starts UpdateThreadProc for a new window and pumps messages until the
// worker has ended, or dwTimeoutMs has passed. With pSim, the begin report
// records the device searches so far, and each progress report with a value
// in arrDrainedAt waits until device strDevice has drained its pipe and
// records its byte count. With nStopAt 0 the user stops the transfer at the
// begin report, with a percentage at that progress report, after the
// records.
CTransferRun RunTransfer(CDeviceSimulator* pSim = nullptr, const std::string& strDevice = std::string(),
                         DWORD dwTimeoutMs = 120000, const std::vector<WPARAM>& arrDrainedAt = {},
                         int nStopAt = -1);

// Hands the image over as the download worker does (g_pImage, g_nImageSize).
void SetImage(const std::vector<unsigned char>& image);
