// The update request: the one exchange with the service, redirects and proxy included.
#include "download/UpdateRequest.h"
#include "app/UserText.h"
#include "framework/afxwin.h"
#include <cwctype>
#include <vector>

const WCHAR UPDATE_SERVICE_HOST[] = L"update.orvek.example";

static const WCHAR REQUEST_PATH[] = L"/device/update";
static const WCHAR VERSION_NAME[] = L"version";
static const WCHAR VERSION_VALUE[] = L"2.0";
static const WCHAR AGENT[] = L"Orvek Updater";
static const DWORD_PTR REQUEST_CONTEXT = 1;
static const DWORD CANONICAL_BUFFER_CHARS = 1024;

// Windows' documented defaults, set explicitly because Wine applies none and
// would wait for a silent service for ever.
static const DWORD CONNECT_TIMEOUT_MS = 60000;
static const DWORD SEND_TIMEOUT_MS = 30000;
DWORD g_dwReceiveTimeoutMs = RECEIVE_TIMEOUT_MS;

CString CanonicalizeUrlPart(CString strPart)
{
    std::vector<WCHAR> arrBuffer(CANONICAL_BUFFER_CHARS, L'\0');
    DWORD dwLength = CANONICAL_BUFFER_CHARS;
    if (AfxInternetCanonicalizeUrl(strPart, arrBuffer.data(), &dwLength, ICU_BROWSER_MODE))
        return CString(arrBuffer.data());
    // A part longer than the usual buffer: the platform said how much it needs.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return strPart;
    arrBuffer.assign(dwLength + 1, L'\0');
    dwLength = static_cast<DWORD>(arrBuffer.size());
    if (AfxInternetCanonicalizeUrl(strPart, arrBuffer.data(), &dwLength, ICU_BROWSER_MODE))
        return CString(arrBuffer.data());
    return strPart;
}

CUpdateRequest::CUpdateRequest() : m_mapHeaders(10)
{
}

CUpdateRequest::~CUpdateRequest()
{
    Close();
}

void CUpdateRequest::Send(HWND hWndOwner)
{
    CRequestTarget target;
    target.m_strServer = UPDATE_SERVICE_HOST;
    target.m_strObject = REQUEST_PATH;
    target.m_strObject.AppendFormat(L"?%s=%s", CanonicalizeUrlPart(VERSION_NAME).GetString(),
                                    CanonicalizeUrlPart(VERSION_VALUE).GetString());
    target.m_strUrl.Format(L"http://%s%s", UPDATE_SERVICE_HOST, target.m_strObject.GetString());

    m_pSession.reset(new CInternetSession(AGENT, REQUEST_CONTEXT, INTERNET_OPEN_TYPE_PRECONFIG));
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, CONNECT_TIMEOUT_MS);
    m_pSession->SetOption(INTERNET_OPTION_SEND_TIMEOUT, SEND_TIMEOUT_MS);
    m_pSession->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, g_dwReceiveTimeoutMs);

    // Redirects are followed here rather than by the platform, which would
    // follow a loop of them without end.
    for (int nRedirects = 0;; ++nRedirects)
    {
        SendTo(target, hWndOwner);
        CString strLocation;
        if (m_nFailureId != 0 || !IsRedirectStatus(m_dwStatusCode)
            || !m_pFile->QueryInfo(HTTP_QUERY_LOCATION, strLocation))
            break;
        CRequestTarget next;
        const RedirectOutcome outcome = ResolveRedirect(target, strLocation, next);
        if (outcome == REDIRECT_NOT_WEB)
            break;
        if (outcome == REDIRECT_DOWNGRADE)
        {
            m_nFailureId = IDS_DOWNGRADE;
            break;
        }
        if (nRedirects == MAX_REDIRECTS)
        {
            m_nFailureId = IDS_TOO_MANY_REDIRECTS;
            break;
        }
        target = next;
    }

    CString strRawHeaders;
    m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS, strRawHeaders);
    ParseRawHeaders(strRawHeaders, m_mapHeaders);
    // The platform hands over an encoded body as it came, and the device
    // would take the encoded bytes for the image.
    if (m_nFailureId == 0 && m_dwStatusCode == HTTP_STATUS_SUCCESS
        && !IsIdentityEncoding(QueryValues(HTTP_QUERY_CONTENT_ENCODING)))
        m_nFailureId = IDS_ENCODED;
}

void CUpdateRequest::SendTo(const CRequestTarget& target, HWND hWndOwner)
{
    m_pFile.reset();
    m_pConnection.reset(m_pSession->GetHttpConnection(target.m_strServer, target.m_nPort));
    // Always from the service and never into the Internet cache: a stored
    // copy could later be written to a device as the current image.
    DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD
                    | INTERNET_FLAG_NO_CACHE_WRITE;
    if (target.m_bSecure)
        dwFlags |= INTERNET_FLAG_SECURE;
    m_pFile.reset(m_pConnection->OpenRequest(L"GET", target.m_strObject, nullptr, REQUEST_CONTEXT, nullptr,
                                             L"HTTP/1.0", dwFlags));
    // Wine keeps the send and receive time-outs per request, not per session.
    m_pFile->SetOption(INTERNET_OPTION_SEND_TIMEOUT, SEND_TIMEOUT_MS);
    m_pFile->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, g_dwReceiveTimeoutMs);
    m_pFile->SendRequest(nullptr, 0, nullptr, 0);
    m_pFile->QueryInfoStatusCode(m_dwStatusCode);
    if (m_dwStatusCode == HTTP_STATUS_PROXY_AUTH_REQ)
        m_nFailureId = AnswerProxy(hWndOwner);
}

UINT CUpdateRequest::AnswerProxy(HWND hWndOwner)
{
    CString strChallenge;
    m_pFile->QueryInfo(HTTP_QUERY_PROXY_AUTHENTICATE, strChallenge);
    // The count holds for the whole request: whoever answers a redirect
    // with 407 gets no fresh dialogs.
    while (m_nProxyDialogs < MAX_PROXY_DIALOGS)
    {
        ++m_nProxyDialogs;
        const DWORD dwAnswer = m_pFile->ErrorDlg(CWnd::FromHandle(hWndOwner), ERROR_INTERNET_INCORRECT_PASSWORD,
                                                 FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS
                                                     | FLAGS_ERROR_UI_FLAGS_GENERATE_DATA);
        if (dwAnswer != ERROR_INTERNET_FORCE_RETRY)
            return IDS_PROXY_CANCELLED;
        // The platform sends a request handle again only once its answer
        // has been read to the end.
        BYTE arrDiscard[256];
        while (m_pFile->Read(arrDiscard, sizeof(arrDiscard)) != 0)
        {
        }
        m_pFile->SendRequest(nullptr, 0, nullptr, 0);
        m_pFile->QueryInfoStatusCode(m_dwStatusCode);
        // Some proxies (tinyproxy before 1.12) refuse a wrong password with
        // 401 and their own challenge, for which the platform has no proxy
        // dialog to ask again.
        CString strServerChallenge;
        if (m_dwStatusCode == HTTP_STATUS_DENIED && !strChallenge.IsEmpty()
            && m_pFile->QueryInfo(HTTP_QUERY_WWW_AUTHENTICATE, strServerChallenge) && strServerChallenge == strChallenge)
            return IDS_PROXY_REFUSED;
        if (m_dwStatusCode != HTTP_STATUS_PROXY_AUTH_REQ)
            return 0;
    }
    return IDS_PROXY_REFUSED;
}

BOOL CUpdateRequest::Classify(CString& strFailure) const
{
    if (m_nFailureId != 0)
    {
        strFailure = UserText(m_nFailureId);
        return FALSE;
    }
    return ClassifyResponse(m_dwStatusCode, m_mapHeaders, strFailure);
}

UINT32 CUpdateRequest::QueryDeclaredLength() const
{
    return AgreedLength(QueryValues(HTTP_QUERY_CONTENT_LENGTH));
}

std::vector<CString> CUpdateRequest::QueryValues(DWORD dwInfoLevel) const
{
    std::vector<CString> arrValues;
    DWORD dwIndex = 0;
    CString strValue;
    for (;;)
    {
        const DWORD dwAsked = dwIndex;
        if (!m_pFile->QueryInfo(dwInfoLevel, strValue, &dwIndex))
            break;
        arrValues.push_back(strValue);
        // A level that is no header line leaves the index where it was.
        if (dwIndex == dwAsked)
            break;
    }
    return arrValues;
}

void CUpdateRequest::Close()
{
    m_pFile.reset();
    m_pConnection.reset();
    m_pSession.reset();
}
