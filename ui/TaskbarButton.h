// CTaskbarButton: the updater window's button on the taskbar. It shows the
// progress of the phase in view, turns red while a failure box is up, and
// flashes when an update ends while the window is out of sight.
#pragma once
#include "framework/afxwin.h"
#include <shobjidl.h>

// Makes the taskbar list, or null where the platform has none. Wine's is a
// stub, so tests put a recorder of the calls here.
using TaskbarListFactory = ITaskbarList3* (*)();
extern TaskbarListFactory g_pfnCreateTaskbarList;
// The FlashWindowEx that FlashUntilActive calls; replaceable for the same reason.
using FlashWindowExFunction = BOOL(WINAPI*)(PFLASHWINFO pfwi);
extern FlashWindowExFunction g_pfnFlashWindowEx;

class CTaskbarButton
{
public:
    CTaskbarButton() = default;
    ~CTaskbarButton();
    CTaskbarButton(const CTaskbarButton&) = delete;
    CTaskbarButton& operator=(const CTaskbarButton&) = delete;

    // The taskbar made the window's button (again, after Explorer restarted):
    // the list is made on the first call, and the button shows what it should.
    void OnButtonCreated(HWND hWnd);

    void ShowNoProgress();
    // nPercent of 100 done.
    void ShowProgress(int nPercent);
    // The error state over the percentage last shown.
    void ShowError();
    // Flashes the button until the window is activated, unless the window,
    // or a box it owns, is in front.
    void FlashUntilActive(HWND hWnd);

private:
    void SetState(TBPFLAG nState, int nPercent);

    ITaskbarList3* m_pList = nullptr;
    HWND m_hWnd = nullptr;
    bool m_bComInitialized = false;
    // What the button should show, and what it was last told.
    TBPFLAG m_nState = TBPF_NOPROGRESS;
    int m_nPercent = 0;
    TBPFLAG m_nShownState = TBPF_NOPROGRESS;
    int m_nShownPercent = -1;
};
