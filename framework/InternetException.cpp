// CInternetException.
#include "framework/InternetException.h"
#include <cwchar>
#include <vector>

IMPLEMENT_DYNAMIC(CInternetException, CObject)

CInternetException::CInternetException(DWORD dwError, DWORD_PTR dwContext)
    : m_dwError(dwError), m_dwContext(dwContext)
{
}

// The server's last response text, as WinInet keeps it for this thread.
static BOOL GetLastResponseText(LPWSTR lpszError, UINT nMaxError)
{
    DWORD dwResponseError = 0;
    DWORD dwLength = 0;
    ::InternetGetLastResponseInfoW(&dwResponseError, nullptr, &dwLength);
    if (dwLength == 0)
        return FALSE;
    std::vector<WCHAR> arrText(dwLength + 1, L'\0');
    if (!::InternetGetLastResponseInfoW(&dwResponseError, arrText.data(), &dwLength))
        return FALSE;
    wcsncpy(lpszError, arrText.data(), nMaxError - 1);
    lpszError[nMaxError - 1] = L'\0';
    return lpszError[0] != L'\0';
}

BOOL CInternetException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    lpszError[0] = L'\0';

    if (m_dwError == ERROR_INTERNET_EXTENDED_ERROR)
        return GetLastResponseText(lpszError, nMaxError);

    LPWSTR pszMessage = nullptr;
    const DWORD dwLength = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
        ::GetModuleHandleW(L"wininet.dll"), m_dwError, 0, reinterpret_cast<LPWSTR>(&pszMessage), 0, nullptr);
    if (dwLength == 0 || pszMessage == nullptr)
        return FALSE;
    wcsncpy(lpszError, pszMessage, nMaxError - 1);
    lpszError[nMaxError - 1] = L'\0';
    ::LocalFree(pszMessage);
    return lpszError[0] != L'\0';
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
