// Runs the transfer worker against a real window on the test thread, as the
// updater window would: records every report and dismisses failure boxes as
// a user would, by finding the box, reading its text and pressing OK.
#pragma once
#include "framework/afxwin.h"
#include <string>
#include <vector>

class CDeviceSimulator;

struct CTransferReport
{
    char m_chKind;  // 'B' begin, 'P' progress, 'C' complete
    WPARAM m_wParam;
    // PIPE00 bytes the device had taken in when the report arrived, once
    // the pipe had drained; only when the run was asked to watch a device.
    unsigned long long m_nDeviceBytes;
};

struct CTransferBox
{
    std::wstring m_strText;
    std::wstring m_strCaption;
    bool m_bOwnerDisabled = false;
    // Reports that arrived while the box was up (there should be none).
    size_t m_nReportsWhileUp = 0;
    // From the worker's start to the box being found.
    DWORD m_dwShownAfterMs = 0;
};

struct CTransferRun
{
    std::vector<CTransferReport> m_arrReports;
    std::vector<CTransferBox> m_arrBoxes;
    // The image pair when the completion report arrived.
    BYTE* m_pImageAtComplete = nullptr;
    UINT32 m_nImageSizeAtComplete = 0;
    // Device searches the stand-in had seen when the begin report arrived;
    // only when the run was asked to watch a device.
    unsigned long m_nSearchesAtBegin = 0;
    bool m_bFinished = false;
    DWORD m_dwElapsedMs = 0;

    // The reports as text, e.g. "B P40 P80 C1 (0 boxes)", for failure messages.
    std::string Describe() const;
    std::vector<WPARAM> Percentages() const;
    // The wParam of the completion report, or -1 if none came.
    int Completion() const;
    // The device's byte count at the progress report with this value, or -1.
    long long DeviceBytesAt(WPARAM nPercent) const;
};

// Starts UpdateThreadProc for a new window and pumps messages until the
// worker has ended, or dwTimeoutMs has passed. With pSim, each progress
// report waits until device strDevice has drained its pipe and records its
// byte count, and the begin report records the device searches so far.
CTransferRun RunTransfer(CDeviceSimulator* pSim = nullptr, const std::string& strDevice = std::string(),
                         DWORD dwTimeoutMs = 120000);
