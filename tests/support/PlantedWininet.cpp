// A DLL planted beside the exe (as wininet.dll, or mpr.dll): it offers
// none of their functions and only leaves a mark beside itself, its own
// name followed by ".loaded", when a process loads it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/)
{
    if (dwReason != DLL_PROCESS_ATTACH)
        return TRUE;
    WCHAR szMark[MAX_PATH + 8];
    const DWORD dwLength = ::GetModuleFileNameW(hInstance, szMark, MAX_PATH);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return TRUE;
    lstrcatW(szMark, L".loaded");
    HANDLE hMark = ::CreateFileW(szMark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hMark != INVALID_HANDLE_VALUE)
        ::CloseHandle(hMark);
    return TRUE;
}
