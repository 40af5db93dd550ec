// Runs the download worker against a real window on the test thread, as the
// updater window would: records every report and dismisses failure boxes as
// a user would, by finding the box, reading its text and pressing OK.
#pragma once
#include "framework/afxwin.h"
#include <string>
#include <vector>

struct CReport
{
    char m_chKind;  // 'B' begin, 'P' progress, 'C' complete
    WPARAM m_wParam;
};

struct CFailureBox
{
    std::wstring m_strText;
    std::wstring m_strCaption;
    bool m_bOwnerDisabled = false;
    // Reports that had arrived when the box was found.
    size_t m_nReportsBefore = 0;
    // Reports that arrived while the box was up (there should be none).
    size_t m_nReportsWhileUp = 0;
};

struct CDownloadRun
{
    std::vector<CReport> m_arrReports;
    std::vector<CFailureBox> m_arrBoxes;
    // The image pair as the window saw it when the begin report arrived.
    BYTE* m_pImageAtBegin = nullptr;
    UINT32 m_nImageSizeAtBegin = 0;
    // ... and at the first progress report.
    BYTE* m_pImageAtProgress = nullptr;
    UINT32 m_nImageSizeAtProgress = 0;
    bool m_bFinished = false;
    DWORD m_dwElapsedMs = 0;

    // The reports as text, e.g. "B P40 P80 P100 C1", for failure messages.
    std::string Describe() const;
    std::vector<WPARAM> Percentages() const;
    bool HasBegin() const;
    // The wParam of the completion report, or -1 if none came.
    int Completion() const;
};

// Starts DownloadThreadProc for a new window and pumps messages until the
// worker has reported completion and ended, or dwTimeoutMs has passed.
CDownloadRun RunDownload(DWORD dwTimeoutMs = 60000);
