// CInternetConnection: one WinInet connection handle of a session, closed with the object.
#pragma once
#include "Object.h"
#include <wininet.h>

class CInternetSession;

class CInternetConnection : public CObject
{
    DECLARE_DYNAMIC(CInternetConnection)

public:
    ~CInternetConnection() override;

    virtual void Close();

    operator HINTERNET() const { return m_hConnection; }

protected:
    // Connects to pstrServer for dwService; throws CInternetException on failure.
    CInternetConnection(CInternetSession* pSession, LPCWSTR pstrServer, INTERNET_PORT nPort,
                        LPCWSTR pstrUserName, LPCWSTR pstrPassword, DWORD dwService, DWORD_PTR dwContext);

    HINTERNET m_hConnection = nullptr;
};
