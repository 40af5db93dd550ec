// The framework's URL functions, over the WinInet that CInternetLibrary binds.
#pragma once
#include "Platform.h"
#include "String.h"
#include <wininet.h>

#ifndef AFX_INET_SERVICE_HTTP
#define AFX_INET_SERVICE_HTTP INTERNET_SERVICE_HTTP
#define AFX_INET_SERVICE_UNK 0x1000
#define AFX_INET_SERVICE_HTTPS (AFX_INET_SERVICE_UNK + 1)
#endif

// The platform's InternetCanonicalizeUrlW and InternetCombineUrlW; FALSE,
// with the reason as the last error, also when WinInet cannot be loaded.
BOOL AFXAPI AfxInternetCanonicalizeUrl(LPCWSTR pszUrl, LPWSTR pszBuffer, LPDWORD pdwBufferLength, DWORD dwFlags);
BOOL AFXAPI AfxInternetCombineUrl(LPCWSTR pszBaseUrl, LPCWSTR pszRelativeUrl, LPWSTR pszBuffer,
                                  LPDWORD pdwBufferLength, DWORD dwFlags);

// Splits an HTTP or HTTPS URL into its service, server, object (path and
// query, possibly empty) and port; FALSE for any other URL or one that
// cannot be parsed.
BOOL AFXAPI AfxParseURL(LPCWSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                        INTERNET_PORT& nPort);
