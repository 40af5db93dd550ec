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
    g_pLog = nullptr;
}

void CALLBACK CWinEventLog::OnEvent(HWINEVENTHOOK /*hHook*/, DWORD /*dwEvent*/, HWND hWnd, LONG idObject,
                                    LONG /*idChild*/, DWORD /*dwThread*/, DWORD /*dwTime*/)
{
    if (idObject != OBJID_CLIENT || g_pLog == nullptr || hWnd == nullptr)
        return;
    WCHAR szText[256] = {};
    ::GetWindowTextW(hWnd, szText, 256);
    g_pLog->m_arrAnnounced.push_back(std::to_wstring(::GetDlgCtrlID(hWnd)) + L" " + szText);
}

std::vector<std::wstring> CWinEventLog::Announced()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    return m_arrAnnounced;
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
