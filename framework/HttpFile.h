// CHttpFile: one HTTP request and its response: send it, query the
// response's status and headers, read its body.
#pragma once
#include "InternetFile.h"
#include "String.h"

class CWnd;

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

    // The platform's dialog for an error of this request, such as its
    // password dialog for a server or proxy that asks for one, owned by
    // pParent (the desktop when null). Returns InternetErrorDlg's result:
    // ERROR_INTERNET_FORCE_RETRY when the request should be sent again.
    DWORD ErrorDlg(CWnd* pParent = nullptr, DWORD dwError = ERROR_INTERNET_INCORRECT_PASSWORD,
                   DWORD dwFlags = FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                   LPVOID* lppvData = nullptr);

private:
    DWORD m_dwOpenError;
};
