// CInternetSession.
#include "framework/InternetSession.h"
#include "framework/Globals.h"
#include "framework/HttpConnection.h"
#include "framework/InternetException.h"
#include "framework/InternetLibrary.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CInternetSession, CObject)

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext)
{
    if (pstrAgent == nullptr && AfxGetApp() != nullptr)
        pstrAgent = AfxGetApp()->m_pszAppName;
    const CInternetLibrary* pLibrary = CInternetLibrary::Load();
    if (pLibrary != nullptr)
        m_hSession = pLibrary->m_pfnInternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
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
    return CInternetLibrary::Bound().m_pfnInternetSetOptionW(m_hSession, dwOption, &dwValue, sizeof(dwValue));
}

void CInternetSession::Close()
{
    if (m_hSession != nullptr)
    {
        CInternetLibrary::Bound().m_pfnInternetCloseHandle(m_hSession);
        m_hSession = nullptr;
    }
}
