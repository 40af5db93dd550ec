// CHttpConnection.
#include "framework/HttpConnection.h"
#include "framework/HttpFile.h"
#include "framework/InternetLibrary.h"

IMPLEMENT_DYNAMIC(CHttpConnection, CInternetConnection)

CHttpConnection::CHttpConnection(CInternetSession* pSession, LPCWSTR pstrServer, INTERNET_PORT nPort,
                                 LPCWSTR pstrUserName, LPCWSTR pstrPassword, DWORD_PTR dwContext)
    : CInternetConnection(pSession, pstrServer, nPort, pstrUserName, pstrPassword, INTERNET_SERVICE_HTTP,
                          dwContext)
{
}

CHttpFile* CHttpConnection::OpenRequest(LPCWSTR pstrVerb, LPCWSTR pstrObjectName, LPCWSTR pstrReferer,
                                        DWORD_PTR dwContext, LPCWSTR* ppstrAcceptTypes, LPCWSTR pstrVersion,
                                        DWORD dwFlags)
{
    HINTERNET hFile = CInternetLibrary::Bound().m_pfnHttpOpenRequestW(m_hConnection, pstrVerb, pstrObjectName,
                                                                       pstrVersion, pstrReferer, ppstrAcceptTypes,
                                                                       dwFlags, dwContext);
    const DWORD dwOpenError = hFile == nullptr ? ::GetLastError() : ERROR_SUCCESS;
    return new CHttpFile(hFile, dwOpenError, dwContext);
}
