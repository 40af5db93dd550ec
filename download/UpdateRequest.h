// The updater's one exchange with the update service: the GET request for
// the current image, its status and headers, and what the answer means.
#pragma once
#include "download/ResponseParsing.h"
#include "framework/afxinet.h"
#include "framework/afxcoll.h"
#include "framework/String.h"
#include <memory>
#include <vector>

// The update service's host; the request always goes to its port 80.
extern const WCHAR UPDATE_SERVICE_HOST[];
// How long a read waits for the service, Windows' documented default.
constexpr DWORD RECEIVE_TIMEOUT_MS = 30000;
// The receive time-out: RECEIVE_TIMEOUT_MS, unless a test shortens it.
extern DWORD g_dwReceiveTimeoutMs;

// The part in the form a URL carries it: unsafe characters and spaces as
// percent-escapes, everything after '?' or '#' as it is. A part whose form
// the platform cannot give comes back unchanged.
CString CanonicalizeUrlPart(CString strPart);

class CUpdateRequest
{
public:
    CUpdateRequest();
    ~CUpdateRequest();

    static const int MAX_REDIRECTS = 10;
    // Password dialogs shown for one request, across all its redirects,
    // before it fails.
    static const int MAX_PROXY_DIALOGS = 3;

    // Opens the session and the connection, sends the request, follows up
    // to MAX_REDIRECTS redirects and reads the last answer's status and
    // headers; throws CInternetException when WinInet fails. A proxy that
    // asks for a password gets it from the platform's dialog, owned by
    // hWndOwner.
    void Send(HWND hWndOwner);

    // As ClassifyResponse; a request still redirected after MAX_REDIRECTS
    // redirects or sent from HTTPS to plain HTTP, one whose proxy wanted a
    // password it did not get, and a 200 whose body is encoded fail with a
    // text of their own.
    BOOL Classify(CString& strFailure) const;
    // The Content-Length as AgreedLength gives it.
    UINT32 QueryDeclaredLength() const;

    DWORD GetStatusCode() const { return m_dwStatusCode; }
    const CMapStringToString& GetHeaders() const { return m_mapHeaders; }
    // The answer's body; valid after Send until Close.
    CHttpFile& GetFile() const { return *m_pFile; }

    // Releases the request, the connection and the session, in that order.
    void Close();

private:
    CUpdateRequest(const CUpdateRequest&) = delete;
    CUpdateRequest& operator=(const CUpdateRequest&) = delete;

    // Sends one GET on a connection of its own and reads the status.
    void SendTo(const CRequestTarget& target, HWND hWndOwner);
    // Asks for the proxy's password and sends the request again while the
    // proxy refuses it; the text to show when the user gave none or the
    // proxy kept refusing, otherwise 0.
    UINT AnswerProxy(HWND hWndOwner);
    // The values of a header, one per line it has in the answer.
    std::vector<CString> QueryValues(DWORD dwInfoLevel) const;

    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CHttpConnection> m_pConnection;
    std::unique_ptr<CHttpFile> m_pFile;
    DWORD m_dwStatusCode = 0;
    int m_nProxyDialogs = 0;
    // The text of why the exchange failed whatever the last status says, or 0.
    UINT m_nFailureId = 0;
    CMapStringToString m_mapHeaders;
};
