// CInternetException.
#include "framework/InternetException.h"
#include "framework/InternetLibrary.h"
#include <cwchar>
#include <vector>

IMPLEMENT_DYNAMIC(CInternetException, CObject)

CInternetException::CInternetException(DWORD dwError, DWORD_PTR dwContext)
    : m_dwError(dwError), m_dwContext(dwContext)
{
}

// Said instead of WinInet's text when WinInet itself could not be loaded.
static const WCHAR NO_LIBRARY_TEXT[] =
    L"The Internet functions of Windows (wininet.dll in the system folder) could not be loaded.";

// Copies pszText, cut to nMaxError - 1 characters; FALSE when that is empty.
static BOOL CopyText(LPWSTR lpszError, UINT nMaxError, LPCWSTR pszText)
{
    wcsncpy(lpszError, pszText, nMaxError - 1);
    lpszError[nMaxError - 1] = L'\0';
    return lpszError[0] != L'\0';
}

// The server's last response text, as WinInet keeps it for this thread.
static BOOL GetLastResponseText(const CInternetLibrary& library, LPWSTR lpszError, UINT nMaxError)
{
    DWORD dwResponseError = 0;
    DWORD dwLength = 0;
    library.m_pfnInternetGetLastResponseInfoW(&dwResponseError, nullptr, &dwLength);
    if (dwLength == 0)
        return FALSE;
    std::vector<WCHAR> arrText(dwLength + 1, L'\0');
    if (!library.m_pfnInternetGetLastResponseInfoW(&dwResponseError, arrText.data(), &dwLength))
        return FALSE;
    return CopyText(lpszError, nMaxError, arrText.data());
}

BOOL CInternetException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    lpszError[0] = L'\0';

    // Without the library no WinInet call ever ran: the failure is the loading.
    const CInternetLibrary* pLibrary = CInternetLibrary::Load();
    if (pLibrary == nullptr)
        return CopyText(lpszError, nMaxError, NO_LIBRARY_TEXT);
    if (m_dwError == ERROR_INTERNET_EXTENDED_ERROR)
        return GetLastResponseText(*pLibrary, lpszError, nMaxError);

    LPWSTR pszMessage = nullptr;
    const DWORD dwLength = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
        pLibrary->GetModule(), m_dwError, 0, reinterpret_cast<LPWSTR>(&pszMessage), 0, nullptr);
    if (dwLength == 0 || pszMessage == nullptr)
        return FALSE;
    const BOOL bCopied = CopyText(lpszError, nMaxError, pszMessage);
    ::LocalFree(pszMessage);
    return bCopied;
}

void CInternetException::Delete()
{
    delete this;
}

void AFXAPI AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError)
{
    if (dwError == 0)
        dwError = ::GetLastError();
    throw new CInternetException(dwError, dwContext);
}
