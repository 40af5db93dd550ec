#include "support/Controls.h"
#include <commctrl.h>

std::string Narrow(const std::wstring& str)
{
    std::string strOut;
    for (wchar_t ch : str)
        strOut += ch < 0x80 ? static_cast<char>(ch) : '?';
    return strOut;
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t szText[2048] = L"";
    ::GetWindowTextW(hWnd, szText, 2048);
    return szText;
}

std::wstring ReadControlText(HWND hDialog, int nId)
{
    return TextOf(::GetDlgItem(hDialog, nId));
}

int ReadBarPos(HWND hDialog, int nId)
{
    DWORD_PTR dwPos = 0;
    if (!::SendMessageTimeoutW(::GetDlgItem(hDialog, nId), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &dwPos))
        return -1;
    return static_cast<int>(dwPos);
}

bool IsControlShown(HWND hDialog, int nId)
{
    return (::GetWindowLongW(::GetDlgItem(hDialog, nId), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT ControlRect(HWND hDialog, int nId)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(hDialog, nId), &rect);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> ChildrenOfClass(HWND hParent, const wchar_t* pszClass, bool bVisibleOnly)
{
    std::vector<HWND> arrChildren;
    for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        wchar_t szClass[32] = L"";
        ::GetClassNameW(hChild, szClass, 32);
        if (_wcsicmp(szClass, pszClass) == 0 && (!bVisibleOnly || ::IsWindowVisible(hChild)))
            arrChildren.push_back(hChild);
    }
    return arrChildren;
}
