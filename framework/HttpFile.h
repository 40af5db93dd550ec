// CHttpFile: one HTTP request and its response: send it, query the
// response's status and headers, read its body.
#pragma once
#include "InternetFile.h"
#include "String.h"

class CHttpFile : public CInternetFile
{
    DECLARE_DYNAMIC(CHttpFile)

public:
    // hFile may be null when the platform could not open the request;
    // dwOpenError then says why, and SendRequest raises it.
    CHttpFile(HINTERNET hFile, DWORD dwOpenError, DWORD_PTR dwContext);
    ~CHttpFile() override = default;

    // Sends the request and receives the response's head; throws
    // CInternetException on failure.
    BOOL SendRequest(LPCWSTR pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);

    // HttpQueryInfoW into a caller's buffer; raises nothing.
    BOOL QueryInfo(DWORD dwInfoLevel, LPVOID lpvBuffer, LPDWORD lpdwBufferLength,
                   LPDWORD lpdwIndex = nullptr) const;
    // The text of an information level, embedded NULs included (the raw
    // header block keeps the NUL after each line); empty on failure.
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD lpdwIndex = nullptr) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;

private:
    DWORD m_dwOpenError;
};
