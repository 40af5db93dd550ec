// CInternetLibrary: WinInet, loaded from the system folder by its full path
// and bound by name, so that no wininet.dll beside the exe is ever loaded.
#pragma once
#include "Platform.h"
#include <wininet.h>

class CInternetLibrary
{
public:
    // Loads pszFolder\wininet.dll and binds every function below; GetModule
    // is null, and GetLoadError says why, when either fails.
    explicit CInternetLibrary(LPCWSTR pszFolder);
    ~CInternetLibrary();

    // The system folder's WinInet, loaded by the first call on any thread;
    // null when it cannot be bound, with the reason as the thread's last
    // error, so that the caller fails as if the platform call had.
    static const CInternetLibrary* Load();
    // For code that holds a WinInet handle, which only a bound library gives.
    static const CInternetLibrary& Bound() { return *Load(); }

    HMODULE GetModule() const { return m_hModule; }
    DWORD GetLoadError() const { return m_dwLoadError; }

    // The functions the framework calls, valid while GetModule is not null.
    decltype(&::InternetOpenW) m_pfnInternetOpenW = nullptr;
    decltype(&::InternetConnectW) m_pfnInternetConnectW = nullptr;
    decltype(&::HttpOpenRequestW) m_pfnHttpOpenRequestW = nullptr;
    decltype(&::HttpSendRequestW) m_pfnHttpSendRequestW = nullptr;
    decltype(&::HttpQueryInfoW) m_pfnHttpQueryInfoW = nullptr;
    decltype(&::InternetQueryDataAvailable) m_pfnInternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) m_pfnInternetReadFile = nullptr;
    decltype(&::InternetSetOptionW) m_pfnInternetSetOptionW = nullptr;
    decltype(&::InternetCloseHandle) m_pfnInternetCloseHandle = nullptr;
    decltype(&::InternetGetLastResponseInfoW) m_pfnInternetGetLastResponseInfoW = nullptr;
    decltype(&::InternetErrorDlg) m_pfnInternetErrorDlg = nullptr;
    decltype(&::InternetCanonicalizeUrlW) m_pfnInternetCanonicalizeUrlW = nullptr;
    decltype(&::InternetCombineUrlW) m_pfnInternetCombineUrlW = nullptr;
    decltype(&::InternetCrackUrlW) m_pfnInternetCrackUrlW = nullptr;

private:
    CInternetLibrary(const CInternetLibrary&) = delete;
    CInternetLibrary& operator=(const CInternetLibrary&) = delete;

    BOOL BindAll();

    HMODULE m_hModule = nullptr;
    DWORD m_dwLoadError = ERROR_SUCCESS;
};
