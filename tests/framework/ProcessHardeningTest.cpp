// The start-up's hold on DLL loading: afterwards a DLL that lies only in the
// exe's folder is no longer found by its bare name, one of the system
// folder still is.
#include "framework/ProcessHardening.h"
#include <gtest/gtest.h>
#include <string>

namespace
{
std::wstring ExeFolder()
{
    WCHAR szPath[MAX_PATH] = L"";
    const DWORD dwLength = ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    const std::wstring strPath(szPath, dwLength);
    return strPath.substr(0, strPath.find_last_of(L'\\') + 1);
}

// The build's planted DLL, copied beside the test program under a name no
// system DLL has; removed again, with the mark it leaves when loaded.
class CBesideDll
{
public:
    explicit CBesideDll(const std::wstring& strName) : m_strName(strName), m_strPath(ExeFolder() + strName)
    {
        m_bCopied = ::CopyFileW((ExeFolder() + L"planted\\wininet.dll").c_str(), m_strPath.c_str(), FALSE) != FALSE;
    }
    ~CBesideDll()
    {
        ::DeleteFileW(m_strPath.c_str());
        ::DeleteFileW((m_strPath + L".loaded").c_str());
    }
    bool IsCopied() const { return m_bCopied; }
    LPCWSTR Name() const { return m_strName.c_str(); }

private:
    std::wstring m_strName;
    std::wstring m_strPath;
    bool m_bCopied = false;
};
}

TEST(AfxHardenProcess, DllOnlyBesideTheExeIsNoLongerFoundByName)
{
    const std::wstring strSuffix = std::to_wstring(::GetCurrentProcessId()) + L".dll";
    CBesideDll before(L"orvek-beside-before-" + strSuffix);
    CBesideDll after(L"orvek-beside-after-" + strSuffix);
    ASSERT_TRUE(before.IsCopied() && after.IsCopied());

    const HMODULE hBefore = ::LoadLibraryW(before.Name());
    EXPECT_NE(hBefore, nullptr) << "not found beside the exe even before, error " << ::GetLastError();
    if (hBefore != nullptr)
        ::FreeLibrary(hBefore);

    AfxHardenProcess();
    const HMODULE hAfter = ::LoadLibraryW(after.Name());
    const DWORD dwError = ::GetLastError();
    EXPECT_EQ(hAfter, nullptr) << "loaded from beside the exe";
    EXPECT_EQ(dwError, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    if (hAfter != nullptr)
        ::FreeLibrary(hAfter);

    const HMODULE hSystem = ::LoadLibraryW(L"version.dll");
    EXPECT_NE(hSystem, nullptr) << "a system DLL by name, error " << ::GetLastError();
    if (hSystem != nullptr)
        ::FreeLibrary(hSystem);
}
