// The transfer harness: a real window receiving the worker's reports.
#include "TransferRun.h"
#include "DeviceSimControl.h"
#include "device/FirmwareTransfer.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/OrvekUpdater.h"
#include <sstream>

namespace
{
class CReportWindow : public CWnd
{
public:
    CReportWindow(CTransferRun& run, CDeviceSimulator* pSim, const std::string& strDevice)
        : m_run(run), m_pSim(pSim), m_strDevice(strDevice)
    {
    }

    BOOL Create()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvekTransferTestWindow";
        ::RegisterClassW(&wc);
        HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"Transfer test", WS_OVERLAPPEDWINDOW,
                                      10, 10, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        return hWnd != nullptr && SubclassWindow(hWnd);
    }

    ~CReportWindow() override
    {
        if (m_hWnd != nullptr)
            DestroyWindow();
    }

    size_t m_nReports = 0;

protected:
    LRESULT OnUpdateBegin(WPARAM wParam, LPARAM /*lParam*/)
    {
        if (m_pSim != nullptr)
            m_run.m_nSearchesAtBegin = m_pSim->EnumerationCount();
        Record('B', wParam, 0);
        return 0;
    }

    LRESULT OnUpdateProgress(WPARAM wParam, LPARAM /*lParam*/)
    {
        Record('P', wParam, DrainedDeviceBytes());
        return 0;
    }

    LRESULT OnUpdateComplete(WPARAM wParam, LPARAM /*lParam*/)
    {
        m_run.m_pImageAtComplete = g_pImage;
        m_run.m_nImageSizeAtComplete = g_nImageSize;
        Record('C', wParam, 0);
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

    void Record(char chKind, WPARAM wParam, unsigned long long nDeviceBytes)
    {
        m_run.m_arrReports.push_back({chKind, wParam, nDeviceBytes});
        ++m_nReports;
    }

    CTransferRun& m_run;
    CDeviceSimulator* m_pSim;
    std::string m_strDevice;
};

BEGIN_MESSAGE_MAP(CReportWindow, CWnd)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_BEGIN, OnUpdateBegin)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_PROGRESS, OnUpdateProgress)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_COMPLETE, OnUpdateComplete)
END_MESSAGE_MAP()

struct CBoxSearch
{
    HWND m_hOwner;
    HWND m_hBox;
};

BOOL CALLBACK FindBoxProc(HWND hWnd, LPARAM lParam)
{
    CBoxSearch* pSearch = reinterpret_cast<CBoxSearch*>(lParam);
    WCHAR szClass[16] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") == 0 && ::GetWindow(hWnd, GW_OWNER) == pSearch->m_hOwner &&
        ::IsWindowVisible(hWnd))
    {
        pSearch->m_hBox = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindFailureBox(HWND hOwner)
{
    CBoxSearch search = {hOwner, nullptr};
    ::EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
    return search.m_hBox;
}

void FlushEvents()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD dwMs)
{
    const DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < dwMs)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        FlushEvents();
    }
}

std::wstring WindowText(HWND hWnd)
{
    WCHAR szText[2048] = L"";
    ::GetWindowTextW(hWnd, szText, 2048);
    return szText;
}

CTransferBox DismissBox(HWND hBox, CReportWindow& wnd)
{
    CTransferBox box;
    box.m_strText = WindowText(::GetDlgItem(hBox, 0xFFFF));
    box.m_strCaption = WindowText(hBox);
    box.m_bOwnerDisabled = !::IsWindowEnabled(wnd.m_hWnd);
    const size_t nBefore = wnd.m_nReports;
    // Give a wrongly early report the chance to arrive.
    PumpFor(300);
    box.m_nReportsWhileUp = wnd.m_nReports - nBefore;

    HWND hButton = ::GetDlgItem(hBox, IDOK);
    if (hButton == nullptr || !::IsWindowVisible(hButton))
        hButton = ::GetDlgItem(hBox, IDCANCEL);
    ::SendMessageW(hButton, BM_CLICK, 0, 0);
    return box;
}
}

std::string CTransferRun::Describe() const
{
    std::ostringstream text;
    for (const CTransferReport& report : m_arrReports)
    {
        if (report.m_chKind == 'B')
            text << "B ";
        else
            text << report.m_chKind << report.m_wParam << ' ';
    }
    text << "(" << m_arrBoxes.size() << " boxes";
    for (const CTransferBox& box : m_arrBoxes)
    {
        text << ", \"";
        for (wchar_t ch : box.m_strText)
            text << (ch < 128 ? static_cast<char>(ch) : '?');
        text << '"';
    }
    text << ")";
    return text.str();
}

std::vector<WPARAM> CTransferRun::Percentages() const
{
    std::vector<WPARAM> arrPercent;
    for (const CTransferReport& report : m_arrReports)
        if (report.m_chKind == 'P')
            arrPercent.push_back(report.m_wParam);
    return arrPercent;
}

int CTransferRun::Completion() const
{
    for (const CTransferReport& report : m_arrReports)
        if (report.m_chKind == 'C')
            return static_cast<int>(report.m_wParam);
    return -1;
}

long long CTransferRun::DeviceBytesAt(WPARAM nPercent) const
{
    for (const CTransferReport& report : m_arrReports)
        if (report.m_chKind == 'P' && report.m_wParam == nPercent)
            return static_cast<long long>(report.m_nDeviceBytes);
    return -1;
}

CTransferRun RunTransfer(CDeviceSimulator* pSim, const std::string& strDevice, DWORD dwTimeoutMs)
{
    CTransferRun run;
    CReportWindow wnd(run, pSim, strDevice);
    if (!wnd.Create())
        return run;
    theApp.m_pMainWnd = &wnd;

    const DWORD dwStart = ::GetTickCount();
    CWinThread* pThread = AfxBeginThread(UpdateThreadProc, wnd.m_hWnd, THREAD_PRIORITY_NORMAL, 0,
                                         CREATE_SUSPENDED);
    if (pThread == nullptr)
    {
        theApp.m_pMainWnd = nullptr;
        return run;
    }
    // Kept, so that the test can wait for the worker's end.
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();

    HANDLE hThread = pThread->m_hThread;
    while (::GetTickCount() - dwStart < dwTimeoutMs)
    {
        const DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, 20, QS_ALLINPUT);
        FlushEvents();
        if (dwWait == WAIT_OBJECT_0)
        {
            run.m_bFinished = true;
            break;
        }
        if (HWND hBox = FindFailureBox(wnd.m_hWnd))
        {
            const DWORD dwShownAfter = ::GetTickCount() - dwStart;
            run.m_arrBoxes.push_back(DismissBox(hBox, wnd));
            run.m_arrBoxes.back().m_dwShownAfterMs = dwShownAfter;
        }
    }
    run.m_dwElapsedMs = ::GetTickCount() - dwStart;
    FlushEvents();

    if (run.m_bFinished)
        delete pThread;
    theApp.m_pMainWnd = nullptr;
    return run;
}
