// The taskbar button's progress, error state and flash.
#include "ui/TaskbarButton.h"

namespace
{
ITaskbarList3* CreateTaskbarList()
{
    ITaskbarList3* pList = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&pList))))
        return nullptr;
    if (FAILED(pList->HrInit()))
    {
        pList->Release();
        return nullptr;
    }
    return pList;
}
}

TaskbarListFactory g_pfnCreateTaskbarList = CreateTaskbarList;
FlashWindowExFunction g_pfnFlashWindowEx = ::FlashWindowEx;

CTaskbarButton::~CTaskbarButton()
{
    if (m_pList != nullptr)
        m_pList->Release();
    if (m_bComInitialized)
        ::CoUninitialize();
}

void CTaskbarButton::OnButtonCreated(HWND hWnd)
{
    m_hWnd = hWnd;
    if (m_pList == nullptr)
    {
        if (!m_bComInitialized)
            m_bComInitialized = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_pList = g_pfnCreateTaskbarList();
    }
    // A new button shows nothing yet.
    m_nShownState = TBPF_NOPROGRESS;
    m_nShownPercent = -1;
    SetState(m_nState, m_nPercent);
}

void CTaskbarButton::ShowNoProgress()
{
    SetState(TBPF_NOPROGRESS, m_nPercent);
}

void CTaskbarButton::ShowProgress(int nPercent)
{
    SetState(TBPF_NORMAL, nPercent);
}

void CTaskbarButton::ShowError()
{
    SetState(TBPF_ERROR, m_nPercent);
}

void CTaskbarButton::SetState(TBPFLAG nState, int nPercent)
{
    m_nState = nState;
    m_nPercent = nPercent;
    if (m_pList == nullptr)
        return;
    if (nState != m_nShownState)
    {
        m_pList->SetProgressState(m_hWnd, nState);
        m_nShownState = nState;
        m_nShownPercent = -1;
    }
    if (nState != TBPF_NOPROGRESS && nPercent != m_nShownPercent)
    {
        m_pList->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(nPercent), 100);
        m_nShownPercent = nPercent;
    }
}

void CTaskbarButton::FlashUntilActive(HWND hWnd)
{
    const HWND hFront = ::GetForegroundWindow();
    if (hFront != nullptr && ::GetAncestor(hFront, GA_ROOTOWNER) == hWnd)
        return;
    FLASHWINFO info = { sizeof(info), hWnd, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0 };
    g_pfnFlashWindowEx(&info);
}
