// CInternetConnection.
#include "framework/InternetConnection.h"
#include "framework/InternetException.h"
#include "framework/InternetLibrary.h"
#include "framework/InternetSession.h"

IMPLEMENT_DYNAMIC(CInternetConnection, CObject)

CInternetConnection::CInternetConnection(CInternetSession* pSession, LPCWSTR pstrServer, INTERNET_PORT nPort,
                                         LPCWSTR pstrUserName, LPCWSTR pstrPassword, DWORD dwService,
                                         DWORD_PTR dwContext)
{
    m_hConnection = CInternetLibrary::Bound().m_pfnInternetConnectW(*pSession, pstrServer, nPort, pstrUserName,
                                                                     pstrPassword, dwService, 0, dwContext);
    if (m_hConnection == nullptr)
        AfxThrowInternetException(dwContext);
}

CInternetConnection::~CInternetConnection()
{
    Close();
}

void CInternetConnection::Close()
{
    if (m_hConnection != nullptr)
    {
        CInternetLibrary::Bound().m_pfnInternetCloseHandle(m_hConnection);
        m_hConnection = nullptr;
    }
}
