// The benchmarks' stand-in for the updater window as the workers see it.
#include "ReportWindow.h"
#include "Stopwatch.h"
#include "app/Notifications.h"

namespace
{
const wchar_t kClassName[] = L"OrvekBenchReportWindow";
}

CReportWindow::~CReportWindow()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

bool CReportWindow::Create()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    m_hWnd = ::CreateWindowExW(0, kClassName, L"Orvek benchmark", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, wc.hInstance, this);
    return m_hWnd != nullptr;
}

bool CReportWindow::IsReport(UINT nMessage) const
{
    return nMessage == UWM_DOWNLOAD_BEGIN || nMessage == UWM_DOWNLOAD_PROGRESS || nMessage == UWM_DOWNLOAD_COMPLETE
           || nMessage == UWM_UPDATE_BEGIN || nMessage == UWM_UPDATE_PROGRESS || nMessage == UWM_UPDATE_COMPLETE;
}

LRESULT CALLBACK CReportWindow::WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
    {
        auto* pCreate = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pThis = reinterpret_cast<CReportWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis != nullptr && pThis->IsReport(nMessage))
    {
        SReportArrivals& arrivals = pThis->m_mapArrivals[nMessage];
        const double dNow = BenchSeconds();
        if (arrivals.m_nCount++ == 0)
            arrivals.m_dFirstSeconds = dNow;
        arrivals.m_dLastSeconds = dNow;
        arrivals.m_wLastParam = wParam;
        return 0;
    }
    return ::DefWindowProcW(hWnd, nMessage, wParam, lParam);
}

bool CReportWindow::WaitFor(UINT nMessage, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (Arrivals(nMessage).m_nCount > 0)
            return true;
        const DWORD dwElapsed = ::GetTickCount() - dwStart;
        if (dwElapsed >= dwTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwTimeoutMs - dwElapsed, QS_ALLINPUT);
    }
}

SReportArrivals CReportWindow::Arrivals(UINT nMessage) const
{
    const auto it = m_mapArrivals.find(nMessage);
    return it == m_mapArrivals.end() ? SReportArrivals() : it->second;
}
