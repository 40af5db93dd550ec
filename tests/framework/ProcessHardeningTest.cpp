// The start-up's hold on DLL loading: afterwards a DLL that lies only in the
// exe's folder is no longer found by its bare name; a system one still is.
#include "framework/ProcessHardening.h"
#include <gtest/gtest.h>
#include <string>

namespace
{
// The e2e tests' planted DLL, copied beside the test program as pszName.
std::wstring PlantBesideTheExe(const std::wstring& strName)
{
    WCHAR szExe[MAX_PATH] = L"";
    std::wstring strFolder(szExe, ::GetModuleFileNameW(nullptr, szExe, MAX_PATH));
    strFolder.erase(strFolder.find_last_of(L'\\') + 1);
    ::CopyFileW((strFolder + L"planted\\wininet.dll").c_str(), (strFolder + strName).c_str(), FALSE);
    return strFolder + strName;
}
}

TEST(AfxHardenProcess, DllOnlyBesideTheExeIsNoLongerFoundByName)
{
    const std::wstring strBefore = L"orvek-before-" + std::to_wstring(::GetCurrentProcessId()) + L".dll";
    const std::wstring strAfter = L"orvek-after-" + std::to_wstring(::GetCurrentProcessId()) + L".dll";
    const std::wstring arrPaths[] = { PlantBesideTheExe(strBefore), PlantBesideTheExe(strAfter) };

    const HMODULE hBefore = ::LoadLibraryW(strBefore.c_str());
    EXPECT_NE(hBefore, nullptr) << "not found beside the exe even before, error " << ::GetLastError();
    ::FreeLibrary(hBefore);
    AfxHardenProcess();
    const HMODULE hAfter = ::LoadLibraryW(strAfter.c_str());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(hAfter, nullptr) << "loaded from beside the exe";
    ::FreeLibrary(hAfter);
    const HMODULE hSystem = ::LoadLibraryW(L"version.dll");
    EXPECT_NE(hSystem, nullptr) << "a system DLL by name, error " << ::GetLastError();
    ::FreeLibrary(hSystem);

    for (const std::wstring& strPath : arrPaths)
    {
        ::DeleteFileW(strPath.c_str());
        ::DeleteFileW((strPath + L".loaded").c_str());
    }
}
