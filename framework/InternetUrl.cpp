// The framework's URL functions.
#include "framework/InternetUrl.h"
#include "framework/InternetLibrary.h"
#include <vector>

BOOL AFXAPI AfxInternetCanonicalizeUrl(LPCWSTR pszUrl, LPWSTR pszBuffer, LPDWORD pdwBufferLength, DWORD dwFlags)
{
    const CInternetLibrary* pLibrary = CInternetLibrary::Load();
    return pLibrary != nullptr && pLibrary->m_pfnInternetCanonicalizeUrlW(pszUrl, pszBuffer, pdwBufferLength, dwFlags);
}

BOOL AFXAPI AfxInternetCombineUrl(LPCWSTR pszBaseUrl, LPCWSTR pszRelativeUrl, LPWSTR pszBuffer,
                                  LPDWORD pdwBufferLength, DWORD dwFlags)
{
    const CInternetLibrary* pLibrary = CInternetLibrary::Load();
    return pLibrary != nullptr
           && pLibrary->m_pfnInternetCombineUrlW(pszBaseUrl, pszRelativeUrl, pszBuffer, pdwBufferLength, dwFlags);
}

BOOL AFXAPI AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                        INTERNET_PORT& nPort)
{
    dwServiceType = AFX_INET_SERVICE_UNK;
    strServer.Empty();
    strObject.Empty();
    nPort = INTERNET_INVALID_PORT_NUMBER;
    const CInternetLibrary* pLibrary = CInternetLibrary::Load();
    if (pLibrary == nullptr || pstrURL == nullptr || pstrURL[0] == L'\0')
        return FALSE;

    std::vector<WCHAR> arrServer(INTERNET_MAX_HOST_NAME_LENGTH + 1, L'\0');
    std::vector<WCHAR> arrPath(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    std::vector<WCHAR> arrExtra(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = arrServer.data();
    parts.dwHostNameLength = static_cast<DWORD>(arrServer.size());
    parts.lpszUrlPath = arrPath.data();
    parts.dwUrlPathLength = static_cast<DWORD>(arrPath.size());
    parts.lpszExtraInfo = arrExtra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(arrExtra.size());
    if (!pLibrary->m_pfnInternetCrackUrlW(pstrURL, 0, 0, &parts))
        return FALSE;
    if (parts.nScheme == INTERNET_SCHEME_HTTP)
        dwServiceType = AFX_INET_SERVICE_HTTP;
    else if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwServiceType = AFX_INET_SERVICE_HTTPS;
    else
        return FALSE;

    strServer = arrServer.data();
    strObject = arrPath.data();
    strObject += arrExtra.data();
    nPort = parts.nPort;
    return TRUE;
}
