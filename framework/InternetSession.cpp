// CInternetSession.
#include "framework/InternetSession.h"
#include "framework/Globals.h"
#include "framework/HttpConnection.h"
#include "framework/InternetException.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CInternetSession, CObject)

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext)
{
    if (pstrAgent == nullptr && AfxGetApp() != nullptr)
        pstrAgent = AfxGetApp()->m_pszAppName;
    m_hSession = ::InternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (m_hSession == nullptr)
        AfxThrowInternetException(m_dwContext);
}

CInternetSession::~CInternetSession()
{
    Close();
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCWSTR pstrServer, INTERNET_PORT nPort,
                                                     LPCWSTR pstrUserName, LPCWSTR pstrPassword)
{
    return new CHttpConnection(this, pstrServer, nPort, pstrUserName, pstrPassword, m_dwContext);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    return ::InternetSetOptionW(m_hSession, dwOption, &dwValue, sizeof(dwValue));
}

void CInternetSession::Close()
{
    if (m_hSession != nullptr)
    {
        ::InternetCloseHandle(m_hSession);
        m_hSession = nullptr;
    }
}
