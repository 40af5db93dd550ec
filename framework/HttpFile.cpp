// CHttpFile.
#include "framework/HttpFile.h"
#include "framework/InternetException.h"
#include "framework/InternetLibrary.h"
#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(CHttpFile, CInternetFile)

CHttpFile::CHttpFile(HINTERNET hFile, DWORD dwOpenError, DWORD_PTR dwContext)
    : CInternetFile(hFile, dwContext), m_dwOpenError(dwOpenError)
{
}

BOOL CHttpFile::SendRequest(LPCWSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    if (m_hFile == nullptr)
        AfxThrowInternetException(m_dwContext, m_dwOpenError != ERROR_SUCCESS ? m_dwOpenError
                                                                               : ERROR_INVALID_HANDLE);
    const DWORD dwStart = ::GetTickCount();
    if (!CInternetLibrary::Bound().m_pfnHttpSendRequestW(m_hFile, pstrHeaders, dwHeadersLen, lpOptional, dwOptionalLen))
        ThrowLastError(dwStart);
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, LPVOID lpvBuffer, LPDWORD lpdwBufferLength,
                          LPDWORD lpdwIndex) const
{
    return CInternetLibrary::Bound().m_pfnHttpQueryInfoW(m_hFile, dwInfoLevel, lpvBuffer, lpdwBufferLength,
                                                         lpdwIndex);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD lpdwIndex) const
{
    str.Empty();
    const CInternetLibrary& library = CInternetLibrary::Bound();
    DWORD dwIndex = lpdwIndex != nullptr ? *lpdwIndex : 0;
    DWORD dwBytes = 0;
    if (library.m_pfnHttpQueryInfoW(m_hFile, dwInfoLevel, nullptr, &dwBytes, &dwIndex))
        return TRUE;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || dwBytes == 0)
        return FALSE;

    // The size asked for counts the closing NUL, the size returned does not.
    const int nChars = static_cast<int>(dwBytes / sizeof(WCHAR));
    LPWSTR pszBuffer = str.GetBufferSetLength(nChars);
    dwIndex = lpdwIndex != nullptr ? *lpdwIndex : 0;
    if (!library.m_pfnHttpQueryInfoW(m_hFile, dwInfoLevel, pszBuffer, &dwBytes, &dwIndex))
    {
        str.ReleaseBuffer(0);
        return FALSE;
    }
    str.ReleaseBuffer(static_cast<int>(dwBytes / sizeof(WCHAR)));
    if (lpdwIndex != nullptr)
        *lpdwIndex = dwIndex;
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    dwStatusCode = 0;
    DWORD dwLength = sizeof(dwStatusCode);
    return CInternetLibrary::Bound().m_pfnHttpQueryInfoW(m_hFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                                         &dwStatusCode, &dwLength, nullptr);
}

DWORD CHttpFile::ErrorDlg(CWnd* pParent, DWORD dwError, DWORD dwFlags, LPVOID* lppvData)
{
    LPVOID pvData = nullptr;
    const HWND hParent = pParent != nullptr && pParent->GetSafeHwnd() != nullptr ? pParent->GetSafeHwnd()
                                                                                  : ::GetDesktopWindow();
    return CInternetLibrary::Bound().m_pfnInternetErrorDlg(hParent, m_hFile, dwError, dwFlags,
                                                           lppvData != nullptr ? lppvData : &pvData);
}
