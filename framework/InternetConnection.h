// CInternetConnection: one WinInet connection handle of a session, closed with the object.
#pragma once
#include "Object.h"
#include "String.h"
#include <wininet.h>

class CInternetSession;

class CInternetConnection : public CObject
{
    DECLARE_DYNAMIC(CInternetConnection)

public:
    ~CInternetConnection() override;

    virtual void Close();

    operator HINTERNET() const { return m_hConnection; }
    CInternetSession* GetSession() const { return m_pSession; }
    CString GetServerName() const { return m_strServerName; }
    DWORD_PTR GetContext() const { return m_dwContext; }

protected:
    // Connects to pstrServer for dwService; throws CInternetException on failure.
    CInternetConnection(CInternetSession* pSession, LPCWSTR pstrServer, INTERNET_PORT nPort,
                        LPCWSTR pstrUserName, LPCWSTR pstrPassword, DWORD dwService, DWORD_PTR dwContext);

    HINTERNET m_hConnection = nullptr;
    CInternetSession* m_pSession;
    CString m_strServerName;
    INTERNET_PORT m_nPort;
    DWORD_PTR m_dwContext;
};
