// CInternetException: a failed WinInet call, thrown by pointer and released with Delete.
#pragma once
#include "Object.h"
#include <wininet.h>

class CInternetException : public CObject
{
    DECLARE_DYNAMIC(CInternetException)

public:
    CInternetException(DWORD dwError, DWORD_PTR dwContext);
    ~CInternetException() override = default;

    // The platform's text for m_dwError from WinInet's message table; for
    // ERROR_INTERNET_EXTENDED_ERROR the server's last response text instead.
    // Cut to nMaxError - 1 characters; FALSE, with an empty text, when there is none.
    virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;

    // Frees the exception; the catcher calls it once it is done with it.
    void Delete();

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// Throws a new CInternetException for dwError, or for the calling thread's
// last error when dwError is 0.
[[noreturn]] void AFXAPI AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0);
