// Reading the update service's answer: its header block, its lengths and
// codings, where a redirect sends the request, and what a status means.
#include "download/ResponseParsing.h"
#include "app/UserText.h"

static const WCHAR ERROR_HEADER[] = L"X-Orvek-Error";
static const DWORD HTTP_STATUS_SERVICE_ERROR = 500;
static const WCHAR IDENTITY_CODING[] = L"identity";

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

BOOL IsRedirectStatus(DWORD dwStatusCode)
{
    return dwStatusCode == HTTP_STATUS_MOVED || dwStatusCode == HTTP_STATUS_REDIRECT
           || dwStatusCode == HTTP_STATUS_REDIRECT_METHOD || dwStatusCode == HTTP_STATUS_REDIRECT_KEEP_VERB
           || dwStatusCode == HTTP_STATUS_PERMANENT_REDIRECT;
}

RedirectOutcome ResolveRedirect(const CRequestTarget& from, const CString& strLocation, CRequestTarget& target)
{
    std::vector<WCHAR> arrUrl(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    DWORD dwLength = static_cast<DWORD>(arrUrl.size());
    if (!AfxInternetCombineUrl(from.m_strUrl, strLocation, arrUrl.data(), &dwLength, ICU_NO_ENCODE))
        return REDIRECT_NOT_WEB;

    DWORD dwServiceType = AFX_INET_SERVICE_UNK;
    CString strServer;
    CString strObject;
    INTERNET_PORT nPort = INTERNET_DEFAULT_HTTP_PORT;
    if (!AfxParseURL(arrUrl.data(), dwServiceType, strServer, strObject, nPort) || strServer.IsEmpty())
        return REDIRECT_NOT_WEB;

    target.m_strUrl = arrUrl.data();
    target.m_strServer = strServer;
    target.m_nPort = nPort;
    // An address of the server alone, or with a query only, asks for its root.
    target.m_strObject = strObject.IsEmpty() || strObject[0] != L'/' ? L"/" + strObject : strObject;
    target.m_bSecure = dwServiceType == AFX_INET_SERVICE_HTTPS;
    // Past a secure hop, a plain one would let anyone on the way change the image.
    if (from.m_bSecure && !target.m_bSecure)
        return REDIRECT_DOWNGRADE;
    return REDIRECT_FOLLOW;
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
        strFailure.Format(UserText(IDS_HTTP_STATUS_FORMAT), static_cast<int>(dwStatusCode));
    return FALSE;
}

// Calls pfnItem with each comma-separated item of the values, trimmed, until
// it returns FALSE; TRUE when every item was taken.
template <typename TItem>
static BOOL EveryListItem(const std::vector<CString>& arrValues, TItem pfnItem)
{
    for (const CString& strValue : arrValues)
    {
        int iStart = 0;
        for (;;)
        {
            const int iComma = strValue.Find(L',', iStart);
            CString strItem = iComma < 0 ? strValue.Mid(iStart) : strValue.Mid(iStart, iComma - iStart);
            if (!pfnItem(strItem.Trim()))
                return FALSE;
            if (iComma < 0)
                break;
            iStart = iComma + 1;
        }
    }
    return TRUE;
}

BOOL IsIdentityEncoding(const std::vector<CString>& arrValues)
{
    return EveryListItem(arrValues, [](const CString& strCoding) {
        return strCoding.IsEmpty() || strCoding.CompareNoCase(IDENTITY_CODING) == 0;
    });
}

// A decimal that fits in 32 bits, digits only.
static BOOL ParseLength(const CString& strLength, UINT32& nLength)
{
    UINT64 nValue = 0;
    for (int iChar = 0; iChar < strLength.GetLength(); ++iChar)
    {
        if (strLength[iChar] < L'0' || strLength[iChar] > L'9')
            return FALSE;
        nValue = nValue * 10 + static_cast<UINT64>(strLength[iChar] - L'0');
        if (nValue > 0xFFFFFFFFULL)
            return FALSE;
    }
    nLength = static_cast<UINT32>(nValue);
    return !strLength.IsEmpty();
}

UINT32 AgreedLength(const std::vector<CString>& arrValues)
{
    BOOL bStated = FALSE;
    UINT32 nAgreed = 0;
    const BOOL bClear = EveryListItem(arrValues, [&bStated, &nAgreed](const CString& strLength) {
        UINT32 nLength = 0;
        if (!ParseLength(strLength, nLength) || (bStated && nLength != nAgreed))
            return FALSE;
        bStated = TRUE;
        nAgreed = nLength;
        return TRUE;
    });
    return bClear ? nAgreed : 0;
}
