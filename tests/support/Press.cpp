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

void SendKey(WORD wKey, bool bAlt)
{
    INPUT inputs[4] = {};
    UINT nCount = 0;
    auto add = [&inputs, &nCount](WORD wVk, DWORD dwFlags) {
        inputs[nCount].type = INPUT_KEYBOARD;
        inputs[nCount].ki.wVk = wVk;
        inputs[nCount++].ki.dwFlags = dwFlags;
    };
    if (bAlt)
        add(VK_MENU, 0);
    add(wKey, 0);
    add(wKey, KEYEVENTF_KEYUP);
    if (bAlt)
        add(VK_MENU, KEYEVENTF_KEYUP);
    ::SendInput(nCount, inputs, sizeof(INPUT));
}

void ClickAt(POINT pt)
{
    ::SetCursorPos(pt.x, pt.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

bool FindCloseBox(HWND hWnd, POINT* pPoint)
{
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    const int nCaption = ::GetSystemMetrics(SM_CYCAPTION);
    for (int y = rect.top + 1; y < rect.top + nCaption + 8; y += 2)
    {
        for (int x = rect.right - 1; x > rect.right - 4 * nCaption; --x)
        {
            if (::SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
            {
                *pPoint = { x - 3, y + 3 };
                return ::SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(pPoint->x, pPoint->y)) == HTCLOSE;
            }
        }
    }
    return false;
}
