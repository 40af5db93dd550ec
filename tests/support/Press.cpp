#include "support/Press.h"

bool PressButton(HWND hDialog, int nButtonId)
{
    const HWND hButton = ::GetDlgItem(hDialog, nButtonId);
    if (hButton == nullptr)
        return false;
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutW(hButton, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &dwResult);
    return true;
}

void PressKey(HWND hWnd, UINT nVirtualKey)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND hTarget = hWnd;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &info) && info.hwndFocus != nullptr)
        hTarget = info.hwndFocus;
    const UINT nScan = ::MapVirtualKeyW(nVirtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(hTarget, WM_KEYDOWN, nVirtualKey, 1 | (nScan << 16));
    ::PostMessageW(hTarget, WM_KEYUP, nVirtualKey, 1 | (nScan << 16) | (1u << 30) | (1u << 31));
}
