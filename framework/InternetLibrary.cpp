// CInternetLibrary.
#include "framework/InternetLibrary.h"
#include <string>

namespace
{
template <typename TFunction>
BOOL Bind(HMODULE hModule, LPCSTR pszName, TFunction& pfnFunction)
{
    pfnFunction = reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
    return pfnFunction != nullptr;
}

const CInternetLibrary* LoadFromSystemFolder()
{
    WCHAR szFolder[MAX_PATH];
    const UINT nLength = ::GetSystemDirectoryW(szFolder, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        szFolder[0] = L'\0';
    return new CInternetLibrary(szFolder);
}
}

CInternetLibrary::CInternetLibrary(LPCWSTR pszFolder)
{
    if (pszFolder[0] == L'\0')
    {
        m_dwLoadError = ERROR_PATH_NOT_FOUND;
        return;
    }
    const std::wstring strPath = std::wstring(pszFolder) + L"\\wininet.dll";
    // A full path alone still lets WinInet's own imports come from the
    // exe's folder; with this flag they come from WinInet's folder.
    HMODULE hModule = ::LoadLibraryExW(strPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (hModule == nullptr)
    {
        m_dwLoadError = ::GetLastError();
        return;
    }
    m_hModule = hModule;
    if (!BindAll())
    {
        m_dwLoadError = ERROR_PROC_NOT_FOUND;
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

CInternetLibrary::~CInternetLibrary()
{
    if (m_hModule != nullptr)
        ::FreeLibrary(m_hModule);
}

BOOL CInternetLibrary::BindAll()
{
    return Bind(m_hModule, "InternetOpenW", m_pfnInternetOpenW)
           && Bind(m_hModule, "InternetConnectW", m_pfnInternetConnectW)
           && Bind(m_hModule, "HttpOpenRequestW", m_pfnHttpOpenRequestW)
           && Bind(m_hModule, "HttpSendRequestW", m_pfnHttpSendRequestW)
           && Bind(m_hModule, "HttpQueryInfoW", m_pfnHttpQueryInfoW)
           && Bind(m_hModule, "InternetQueryDataAvailable", m_pfnInternetQueryDataAvailable)
           && Bind(m_hModule, "InternetReadFile", m_pfnInternetReadFile)
           && Bind(m_hModule, "InternetSetOptionW", m_pfnInternetSetOptionW)
           && Bind(m_hModule, "InternetCloseHandle", m_pfnInternetCloseHandle)
           && Bind(m_hModule, "InternetGetLastResponseInfoW", m_pfnInternetGetLastResponseInfoW)
           && Bind(m_hModule, "InternetErrorDlg", m_pfnInternetErrorDlg)
           && Bind(m_hModule, "InternetCanonicalizeUrlW", m_pfnInternetCanonicalizeUrlW)
           && Bind(m_hModule, "InternetCombineUrlW", m_pfnInternetCombineUrlW)
           && Bind(m_hModule, "InternetCrackUrlW", m_pfnInternetCrackUrlW);
}

const CInternetLibrary* CInternetLibrary::Load()
{
    // Never freed: a worker may still be inside WinInet while the program ends.
    static const CInternetLibrary* s_pLibrary = LoadFromSystemFolder();
    if (s_pLibrary->GetModule() == nullptr)
    {
        ::SetLastError(s_pLibrary->GetLoadError());
        return nullptr;
    }
    return s_pLibrary;
}
