// CHttpConnection: a connection to an HTTP server, from which requests are opened.
#pragma once
#include "InternetConnection.h"

class CHttpFile;

class CHttpConnection : public CInternetConnection
{
    DECLARE_DYNAMIC(CHttpConnection)

public:
    CHttpConnection(CInternetSession* pSession, LPCWSTR pstrServer,
                    INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER, LPCWSTR pstrUserName = nullptr,
                    LPCWSTR pstrPassword = nullptr, DWORD_PTR dwContext = 1);
    ~CHttpConnection() override = default;

    // A new request object, which the caller deletes before the connection.
    // Raises nothing: when the platform cannot open the request, the failure
    // is raised by the request's SendRequest.
    CHttpFile* OpenRequest(LPCWSTR pstrVerb, LPCWSTR pstrObjectName, LPCWSTR pstrReferer = nullptr,
                           DWORD_PTR dwContext = 1, LPCWSTR* ppstrAcceptTypes = nullptr,
                           LPCWSTR pstrVersion = nullptr, DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
};
