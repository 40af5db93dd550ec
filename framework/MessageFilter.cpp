// ChangeWindowMessageFilterEx is looked up by name: Windows Vista lacks it.
#include "MessageFilter.h"

bool AllowMessageThroughFilter(HWND hWnd, UINT message)
{
    using ChangeFilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    static const auto pfnChangeFilter = reinterpret_cast<ChangeFilterFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (pfnChangeFilter == nullptr || message == 0)
        return false;
    CHANGEFILTERSTRUCT change = { sizeof(change), 0 };
    return pfnChangeFilter(hWnd, message, MSGFLT_ALLOW, &change) != FALSE;
}
