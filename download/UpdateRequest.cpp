// The update request and the reading of its answer.
#include "download/UpdateRequest.h"
#include <cwctype>
#include <vector>

const WCHAR UPDATE_SERVICE_HOST[] = L"update.orvek.example";

static const WCHAR REQUEST_PATH[] = L"/device/update";
static const WCHAR VERSION_NAME[] = L"version";
static const WCHAR VERSION_VALUE[] = L"2.0";
static const WCHAR AGENT[] = L"Orvek Updater";
static const WCHAR ERROR_HEADER[] = L"X-Orvek-Error";
static const DWORD_PTR REQUEST_CONTEXT = 1;
static const DWORD HTTP_STATUS_SUCCESS = 200;
static const DWORD HTTP_STATUS_SERVICE_ERROR = 500;
static const DWORD CANONICAL_BUFFER_CHARS = 1024;

CString CanonicalizeUrlPart(CString strPart)
{
    std::vector<WCHAR> arrBuffer(CANONICAL_BUFFER_CHARS, L'\0');
    DWORD dwLength = CANONICAL_BUFFER_CHARS;
    if (::InternetCanonicalizeUrlW(strPart, arrBuffer.data(), &dwLength, ICU_BROWSER_MODE))
        return CString(arrBuffer.data());
    // A part longer than the usual buffer: the platform said how much it needs.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return strPart;
    arrBuffer.assign(dwLength + 1, L'\0');
    dwLength = static_cast<DWORD>(arrBuffer.size());
    if (::InternetCanonicalizeUrlW(strPart, arrBuffer.data(), &dwLength, ICU_BROWSER_MODE))
        return CString(arrBuffer.data());
    return strPart;
}

void ParseRawHeaders(const CString& strRawHeaders, CMapStringToString& mapHeaders)
{
    const LPCWSTR pchBlock = strRawHeaders.GetString();
    const int nBlockLength = strRawHeaders.GetLength();
    int iLine = 0;
    while (iLine < nBlockLength && pchBlock[iLine] != L'\0')
    {
        int iEnd = iLine;
        while (iEnd < nBlockLength && pchBlock[iEnd] != L'\0')
            ++iEnd;
        const CString strLine(pchBlock + iLine, iEnd - iLine);
        const int iColon = strLine.Find(L':');
        if (iColon > 0)
        {
            CString strName = strLine.Left(iColon);
            CString strValue = strLine.Mid(iColon + 1);
            mapHeaders.SetAt(strName.Trim(), strValue.Trim());
        }
        iLine = iEnd + 1;
    }
}

BOOL ClassifyResponse(DWORD dwStatusCode, const CMapStringToString& mapHeaders, CString& strFailure)
{
    if (dwStatusCode == HTTP_STATUS_SUCCESS)
        return TRUE;
    strFailure.Empty();
    if (dwStatusCode == HTTP_STATUS_SERVICE_ERROR)
        mapHeaders.Lookup(ERROR_HEADER, strFailure);
    // A 500 without a text of its own would leave nothing to show.
    if (strFailure.IsEmpty())
        strFailure.Format(L"HTTP Status Code %d", static_cast<int>(dwStatusCode));
    return FALSE;
}

CUpdateRequest::CUpdateRequest() : m_mapHeaders(10)
{
}

CUpdateRequest::~CUpdateRequest()
{
    Close();
}

void CUpdateRequest::Send()
{
    CString strTarget = REQUEST_PATH;
    strTarget.AppendFormat(L"?%s=%s", CanonicalizeUrlPart(VERSION_NAME).GetString(),
                           CanonicalizeUrlPart(VERSION_VALUE).GetString());

    m_pSession.reset(new CInternetSession(AGENT, REQUEST_CONTEXT, INTERNET_OPEN_TYPE_PRECONFIG));
    m_pConnection.reset(m_pSession->GetHttpConnection(UPDATE_SERVICE_HOST, INTERNET_DEFAULT_HTTP_PORT));
    m_pFile.reset(m_pConnection->OpenRequest(L"GET", strTarget, nullptr, REQUEST_CONTEXT, nullptr, L"HTTP/1.0",
                                             INTERNET_FLAG_EXISTING_CONNECT));
    m_pFile->SendRequest(nullptr, 0, nullptr, 0);

    m_pFile->QueryInfoStatusCode(m_dwStatusCode);
    CString strRawHeaders;
    m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS, strRawHeaders);
    ParseRawHeaders(strRawHeaders, m_mapHeaders);
}

BOOL CUpdateRequest::Classify(CString& strFailure) const
{
    return ClassifyResponse(m_dwStatusCode, m_mapHeaders, strFailure);
}

UINT32 CUpdateRequest::QueryDeclaredLength() const
{
    DWORD dwLength = 0;
    DWORD dwSize = sizeof(dwLength);
    if (!m_pFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwLength, &dwSize))
        return 0;
    return dwLength;
}

void CUpdateRequest::Close()
{
    m_pFile.reset();
    m_pConnection.reset();
    m_pSession.reset();
}
