#include "support/WindowMessageLog.h"
#include <atomic>
#include <mutex>
#include "support/Controls.h"
#include "ui/OrvekUpdaterDlg.h"

namespace
{
std::mutex g_mutex;
std::vector<std::string> g_arrEvents;
std::vector<int> g_arrHiddenFocus;
std::atomic<long> g_nPollTicks{ 0 };

bool IsControl(HWND hWnd)
{
    return (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) != 0;
}

void Record(const std::string& strEvent)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_arrEvents.push_back(strEvent);
}

LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION)
    {
        const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (pMsg->message == WM_SETTEXT && IsControl(pMsg->hwnd))
            Record("settext " + std::to_string(::GetDlgCtrlID(pMsg->hwnd)) + " "
                   + Narrow(pMsg->lParam != 0 ? reinterpret_cast<LPCWSTR>(pMsg->lParam) : L""));
        else if (pMsg->message == WM_SHOWWINDOW && IsControl(pMsg->hwnd))
            Record("show " + std::to_string(::GetDlgCtrlID(pMsg->hwnd)) + " "
                   + (pMsg->wParam != 0 ? "1" : "0"));
        else if (pMsg->message == WM_SETFOCUS && !::IsWindowVisible(pMsg->hwnd))
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_arrHiddenFocus.push_back(::GetDlgCtrlID(pMsg->hwnd));
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK GetMsgProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == PM_REMOVE)
    {
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg->message == WM_TIMER && pMsg->wParam == ID_TIMER_POLL)
            ++g_nPollTicks;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
}

CWindowMessageLog::~CWindowMessageLog()
{
    Remove();
}

bool CWindowMessageLog::Install()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_arrEvents.clear();
        g_arrHiddenFocus.clear();
    }
    g_nPollTicks = 0;
    const DWORD dwThreadId = ::GetCurrentThreadId();
    m_hCallHook = ::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, nullptr, dwThreadId);
    m_hGetHook = ::SetWindowsHookExW(WH_GETMESSAGE, GetMsgProc, nullptr, dwThreadId);
    return m_hCallHook != nullptr && m_hGetHook != nullptr;
}

void CWindowMessageLog::Remove()
{
    if (m_hCallHook != nullptr)
        ::UnhookWindowsHookEx(m_hCallHook);
    if (m_hGetHook != nullptr)
        ::UnhookWindowsHookEx(m_hGetHook);
    m_hCallHook = nullptr;
    m_hGetHook = nullptr;
}

std::vector<std::string> CWindowMessageLog::ControlEvents() const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_arrEvents;
}

std::vector<int> CWindowMessageLog::HiddenFocus() const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_arrHiddenFocus;
}

long CWindowMessageLog::PollTicks() const
{
    return g_nPollTicks;
}
