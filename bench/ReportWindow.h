// CReportWindow: a hidden window that takes a worker's reports the way the
// updater window does (sent messages, handled on this thread) and notes
// when each arrived.
#pragma once
#include <windows.h>
#include <map>

// What arrived of one report message.
struct SReportArrivals
{
    int m_nCount = 0;
    WPARAM m_wLastParam = 0;
    double m_dFirstSeconds = 0;
    double m_dLastSeconds = 0;
};

class CReportWindow
{
public:
    CReportWindow() = default;
    ~CReportWindow();
    CReportWindow(const CReportWindow&) = delete;
    CReportWindow& operator=(const CReportWindow&) = delete;

    bool Create();
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Runs this thread's messages until nMessage has arrived; false if it
    // has not within dwTimeoutMs.
    bool WaitFor(UINT nMessage, DWORD dwTimeoutMs);
    SReportArrivals Arrivals(UINT nMessage) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    bool IsReport(UINT nMessage) const;

    HWND m_hWnd = nullptr;
    std::map<UINT, SReportArrivals> m_mapArrivals;
};
