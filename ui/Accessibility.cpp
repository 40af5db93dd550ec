// Dynamic annotations (oleacc) and live-region events. Wine's annotation
// service answers E_NOTIMPL, so every annotation is a hint that may fail:
// the live-region events and the controls' own texts work without it.
#include "ui/Accessibility.h"
#include <initguid.h>
#include <oleacc.h>

namespace
{
// UI Automation's LiveSetting property, which oleacc annotates by this GUID.
// {C12BCD8E-2A8E-4950-8AE7-3625111D58EB}
DEFINE_GUID(LIVE_SETTING_PROPERTY, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb);
constexpr LONG LIVE_SETTING_POLITE = 1;
}

CAccessibility::~CAccessibility()
{
    Clear();
    if (m_pServices != nullptr)
        m_pServices->Release();
    if (m_bComInitialized)
        ::CoUninitialize();
}

IAccPropServices* CAccessibility::Services()
{
    if (!m_bTried)
    {
        m_bTried = true;
        m_bComInitialized = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                      reinterpret_cast<void**>(&m_pServices))))
            m_pServices = nullptr;
    }
    return m_pServices;
}

void CAccessibility::MakeLive(HWND hWnd)
{
    IAccPropServices* pServices = Services();
    if (pServices == nullptr)
        return;
    VARIANT var;
    ::VariantInit(&var);
    var.vt = VT_I4;
    var.lVal = LIVE_SETTING_POLITE;
    if (SUCCEEDED(pServices->SetHwndProp(hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         LIVE_SETTING_PROPERTY, var)))
        Remember(hWnd, true);
}

void CAccessibility::Announce(HWND hWnd)
{
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CAccessibility::SetName(HWND hWnd, LPCWSTR pszName)
{
    IAccPropServices* pServices = Services();
    if (pServices == nullptr)
        return;
    if (FAILED(pServices->SetHwndPropStr(hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                         pszName)))
        return;
    Remember(hWnd, false);
    // The annotation service tells no one itself.
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CAccessibility::Remember(HWND hWnd, bool bLive)
{
    for (const CAnnotated& annotated : m_arrAnnotated)
    {
        if (annotated.hWnd == hWnd && annotated.bLive == bLive)
            return;
    }
    m_arrAnnotated.push_back({ hWnd, bLive });
}

void CAccessibility::Clear()
{
    for (const CAnnotated& annotated : m_arrAnnotated)
    {
        const MSAAPROPID idProp = annotated.bLive ? LIVE_SETTING_PROPERTY : PROPID_ACC_NAME;
        m_pServices->ClearHwndProps(annotated.hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &idProp, 1);
    }
    m_arrAnnotated.clear();
}
