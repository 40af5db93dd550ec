#include "support/WinEventLog.h"
#include <oleacc.h>
#include "framework/Platform.h"

namespace
{
CWinEventLog* g_pLog = nullptr;
}

CWinEventLog::CWinEventLog()
{
    g_pLog = this;
    m_hHook = ::SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                &CWinEventLog::OnEvent,
                                ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
}

CWinEventLog::~CWinEventLog()
{
    if (m_hHook != nullptr)
        ::UnhookWinEvent(m_hHook);
    if (m_hFocusHook != nullptr)
        ::UnhookWindowsHookEx(m_hFocusHook);
    g_pLog = nullptr;
}

bool CWinEventLog::WatchFocus(DWORD dwThreadId)
{
    m_hFocusHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CWinEventLog::OnMessage, nullptr, dwThreadId);
    return m_hFocusHook != nullptr;
}

LRESULT CALLBACK CWinEventLog::OnMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg->message == WM_SETFOCUS && g_pLog != nullptr)
        g_pLog->Record(EVENT_OBJECT_FOCUS, pMsg->hwnd);
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CWinEventLog::Record(DWORD dwEvent, HWND hWnd)
{
    WCHAR szText[256] = {};
    ::GetWindowTextW(hWnd, szText, 256);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_arrEvents.push_back({ dwEvent, ::GetDlgCtrlID(hWnd), ::IsWindowVisible(hWnd) != FALSE, szText });
}

void CALLBACK CWinEventLog::OnEvent(HWINEVENTHOOK /*hHook*/, DWORD dwEvent, HWND hWnd, LONG idObject,
                                    LONG /*idChild*/, DWORD /*dwThread*/, DWORD /*dwTime*/)
{
    if (idObject == OBJID_CLIENT && g_pLog != nullptr && hWnd != nullptr)
        g_pLog->Record(dwEvent, hWnd);
}

std::vector<CWinEvent> CWinEventLog::Events()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_arrEvents;
}

std::wstring AccessibleName(HWND hWnd)
{
    IAccessible* pAccessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&pAccessible))))
        return L"(no accessible object)";
    VARIANT varSelf;
    ::VariantInit(&varSelf);
    varSelf.vt = VT_I4;
    varSelf.lVal = CHILDID_SELF;
    BSTR bstrName = nullptr;
    const HRESULT hr = pAccessible->get_accName(varSelf, &bstrName);
    pAccessible->Release();
    std::wstring strName = SUCCEEDED(hr) && bstrName != nullptr ? bstrName : L"";
    ::SysFreeString(bstrName);
    return strName;
}
