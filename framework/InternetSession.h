// CInternetSession: the program's WinInet session, the root of its connections.
#pragma once
#include "Object.h"
#include <wininet.h>

#ifndef PRE_CONFIG_INTERNET_ACCESS
#define PRE_CONFIG_INTERNET_ACCESS INTERNET_OPEN_TYPE_PRECONFIG
#endif

class CHttpConnection;

class CInternetSession : public CObject
{
    DECLARE_DYNAMIC(CInternetSession)

public:
    // Opens the session; throws CInternetException when the platform cannot.
    // Without an agent, the application's name is the agent.
    explicit CInternetSession(LPCWSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = PRE_CONFIG_INTERNET_ACCESS,
                              LPCWSTR pstrProxyName = nullptr, LPCWSTR pstrProxyBypass = nullptr,
                              DWORD dwFlags = 0);
    ~CInternetSession() override;

    // A new connection to the HTTP service of pstrServer, which the caller
    // deletes before the session; throws CInternetException on failure.
    CHttpConnection* GetHttpConnection(LPCWSTR pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       LPCWSTR pstrUserName = nullptr, LPCWSTR pstrPassword = nullptr);

    virtual void Close();

    // Sets a numeric option of the session (a time-out, say), which the
    // platform passes on to connections and requests made afterwards;
    // FALSE when it refuses.
    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);

    operator HINTERNET() const { return m_hSession; }

protected:
    HINTERNET m_hSession = nullptr;
    DWORD_PTR m_dwContext;
};
