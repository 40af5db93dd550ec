// AfxHardenProcess.
#include "framework/ProcessHardening.h"

typedef BOOL(WINAPI* PFN_SET_DEFAULT_DLL_DIRECTORIES)(DWORD);

void AFXAPI AfxHardenProcess()
{
    // Windows 7 has SetDefaultDllDirectories only with KB2533623; without
    // it the search stays as it was, less the current folder.
    const HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto pfnSetDefaultDllDirectories =
        hKernel != nullptr ? reinterpret_cast<PFN_SET_DEFAULT_DLL_DIRECTORIES>(
                                 reinterpret_cast<void*>(::GetProcAddress(hKernel, "SetDefaultDllDirectories")))
                           : nullptr;
    if (pfnSetDefaultDllDirectories != nullptr)
        pfnSetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}
