// What the update service's answer says: headers, lengths, codings,
// redirects and the outcome of a status. Pure text work, no exchange.
#pragma once
#include "framework/afxinet.h"
#include "framework/afxcoll.h"
#include "framework/String.h"
#include <vector>

// The status of an answer that carries the image.
constexpr DWORD HTTP_STATUS_SUCCESS = 200;

// Fills mapHeaders from a raw header block (lines ended by NUL, an empty line
// closing the block): name and value split at a line's first colon, both
// trimmed; a later line replaces an earlier one of exactly the same name.
void ParseRawHeaders(const CString& strRawHeaders, CMapStringToString& mapHeaders);

// TRUE when the answer is an image to download (status 200). Otherwise the
// text to show: for 500 the "X-Orvek-Error" value, for any other status, or
// a 500 that gives no text, "HTTP Status Code %d".
BOOL ClassifyResponse(DWORD dwStatusCode, const CMapStringToString& mapHeaders, CString& strFailure);

// TRUE when the Content-Encoding values (one per header line) name no
// coding but "identity": the body is the image as the service sent it.
BOOL IsIdentityEncoding(const std::vector<CString>& arrValues);
// The length that every Content-Length value (one per header line, each a
// list of decimals) states alike; 0 when there is none, one is no number,
// or they differ.
UINT32 AgreedLength(const std::vector<CString>& arrValues);

// The statuses that send a GET on to the address in Location.
BOOL IsRedirectStatus(DWORD dwStatusCode);

// Where a request goes: its URL, split into what the platform's calls take.
struct CRequestTarget
{
    CString m_strUrl;
    CString m_strServer;
    INTERNET_PORT m_nPort = INTERNET_DEFAULT_HTTP_PORT;
    CString m_strObject;
    BOOL m_bSecure = FALSE;
};
// What becomes of a redirect.
enum RedirectOutcome
{
    REDIRECT_FOLLOW,     // the request goes on to the resolved target
    REDIRECT_NOT_WEB,    // no HTTP or HTTPS address: the redirect is the answer
    REDIRECT_DOWNGRADE,  // from HTTPS to plain HTTP: refused
};
// Where a redirect sends the request: its Location resolved against the
// target that was asked for.
RedirectOutcome ResolveRedirect(const CRequestTarget& from, const CString& strLocation, CRequestTarget& target);
