// The header block parser, the lengths and codings, redirects and the classification.
#include "download/ResponseParsing.h"

#include <gtest/gtest.h>

namespace
{
// A raw header block as WinInet hands it over: each line ends with a NUL,
// one more NUL closes the block.
CString Block(std::initializer_list<const wchar_t*> lines)
{
    std::wstring strBlock;
    for (const wchar_t* pszLine : lines)
    {
        strBlock += pszLine;
        strBlock += L'\0';
    }
    strBlock += L'\0';
    return CString(strBlock.data(), static_cast<int>(strBlock.size()));
}

std::wstring Value(const CMapStringToString& map, const wchar_t* pszName)
{
    CString strValue;
    return map.Lookup(pszName, strValue) ? std::wstring(strValue.GetString()) : std::wstring(L"<none>");
}
}

// Each row: a header block and every header it gives.
TEST(ParseRawHeaders, SplitsTrimsAndStopsAtTheEndOfTheBlock)
{
    const wchar_t kTwoBlocks[] = L"A: 1\0\0B: 2\0";
    const struct
    {
        const char* pszCase;
        CString strBlock;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> arrHeaders;
    } rows[] = {
        {"split at the first colon and trimmed",
         Block({L"HTTP/1.0 500 Internal Server Error", L"X-Orvek-Error: \t Server on fire \t\r",
                L"Location:  http://a:b/c ", L"  Spaced Name  :v", L"NoColonHere"}),
         {{L"X-Orvek-Error", L"Server on fire"}, {L"Location", L"http://a:b/c"}, {L"Spaced Name", L"v"}}},
        {"a later line wins, names keep their case",
         Block({L"X-Orvek-Error: first", L"x-orvek-error: lower", L"X-Orvek-Error: second"}),
         {{L"X-Orvek-Error", L"second"}, {L"x-orvek-error", L"lower"}}},
        {"a leading colon is skipped, a blank name kept", Block({L": skipped", L" : blank name"}),
         {{L"", L"blank name"}}},
        {"stops at the empty line", CString(kTwoBlocks, static_cast<int>(_countof(kTwoBlocks) - 1)),
         {{L"A", L"1"}}},
        {"stops at the end of the text", CString(L"A: 1"), {{L"A", L"1"}}},
        {"empty", CString(), {}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.pszCase);
        CMapStringToString map(10);
        ParseRawHeaders(row.strBlock, map);
        EXPECT_EQ(static_cast<INT_PTR>(row.arrHeaders.size()), map.GetCount());
        for (const auto& header : row.arrHeaders)
            EXPECT_EQ(header.second, Value(map, header.first)) << "header " << header.first;
    }
}

TEST(ClassifyResponse, StatusAloneChoosesTheOutcome)
{
    CMapStringToString mapError(10);
    mapError.SetAt(L"X-Orvek-Error", L"Server on fire");
    CMapStringToString mapOtherCase(10);
    mapOtherCase.SetAt(L"x-orvek-error", L"lower case");
    CMapStringToString mapEmptyValue(10);
    mapEmptyValue.SetAt(L"X-Orvek-Error", L"");
    const CMapStringToString mapNone(10);

    struct
    {
        DWORD dwStatus;
        const CMapStringToString* pMap;
        BOOL bDownload;
        const wchar_t* pszFailure;
    } const rows[] = {
        {200, &mapError, TRUE, L""},
        {200, &mapNone, TRUE, L""},
        {500, &mapError, FALSE, L"Server on fire"},
        {500, &mapOtherCase, FALSE, L"HTTP Status Code 500"},
        {500, &mapEmptyValue, FALSE, L"HTTP Status Code 500"},
        {500, &mapNone, FALSE, L"HTTP Status Code 500"},
        {404, &mapError, FALSE, L"HTTP Status Code 404"},
        {0, &mapNone, FALSE, L"HTTP Status Code 0"},
        {0xFFFFFFFF, &mapNone, FALSE, L"HTTP Status Code -1"},
    };
    for (const auto& row : rows)
    {
        CString strFailure;
        EXPECT_EQ(row.bDownload, ClassifyResponse(row.dwStatus, *row.pMap, strFailure)) << "status " << row.dwStatus;
        EXPECT_STREQ(row.pszFailure, strFailure.GetString()) << "status " << row.dwStatus;
    }
}

TEST(IsIdentityEncoding, OnlyIdentityOrNoCodingLeavesTheBodyAsSent)
{
    const struct
    {
        std::vector<CString> arrValues;
        BOOL bIdentity;
    } rows[] = {
        {{}, TRUE},
        {{L"identity"}, TRUE},
        {{L"Identity", L" IDENTITY , identity"}, TRUE},
        {{L"gzip"}, FALSE},
        {{L"identity, br"}, FALSE},
    };
    for (size_t iRow = 0; iRow < sizeof(rows) / sizeof(rows[0]); ++iRow)
        EXPECT_EQ(rows[iRow].bIdentity, IsIdentityEncoding(rows[iRow].arrValues)) << "row " << iRow;
}

TEST(AgreedLength, EqualRepeatsAgreeAnythingElseStatesNoLength)
{
    const struct
    {
        std::vector<CString> arrValues;
        UINT32 nLength;
    } rows[] = {
        {{L"300000"}, 300000},
        {{L"300000", L"300000"}, 300000},
        {{L"300000, 300000", L" 0300000 "}, 300000},
        {{}, 0},
        {{L"300000", L"299000"}, 0},
        {{L"300000,"}, 0},
        {{L"12abc"}, 0},
        {{L"4294967296"}, 0},
    };
    for (size_t iRow = 0; iRow < sizeof(rows) / sizeof(rows[0]); ++iRow)
        EXPECT_EQ(rows[iRow].nLength, AgreedLength(rows[iRow].arrValues)) << "row " << iRow;
}

TEST(ResolveRedirect, ResolvesTheLocationAgainstTheAddressAskedFor)
{
    CRequestTarget from;
    from.m_strUrl = L"http://update.orvek.example/device/update?version=2.0";
    struct
    {
        const wchar_t* pszLocation;
        const wchar_t* pszServer;
        INTERNET_PORT nPort;
        const wchar_t* pszObject;
        BOOL bSecure;
    } const rows[] = {
        {L"http://mirror.orvek.example/fw/current", L"mirror.orvek.example", 80, L"/fw/current", FALSE},
        {L"/fw/2.0/image.bin?from=update", L"update.orvek.example", 80, L"/fw/2.0/image.bin?from=update", FALSE},
        {L"image.bin", L"update.orvek.example", 80, L"/device/image.bin", FALSE},
        {L"http://mirror.orvek.example:8080", L"mirror.orvek.example", 8080, L"/", FALSE},
        {L"https://secure.orvek.example/fw", L"secure.orvek.example", 443, L"/fw", TRUE},
    };
    for (const auto& row : rows)
    {
        CRequestTarget target;
        ASSERT_EQ(REDIRECT_FOLLOW, ResolveRedirect(from, row.pszLocation, target)) << "location " << row.pszLocation;
        EXPECT_STREQ(row.pszServer, target.m_strServer.GetString()) << "location " << row.pszLocation;
        EXPECT_EQ(row.nPort, target.m_nPort) << "location " << row.pszLocation;
        EXPECT_STREQ(row.pszObject, target.m_strObject.GetString()) << "location " << row.pszLocation;
        EXPECT_EQ(row.bSecure, target.m_bSecure) << "location " << row.pszLocation;
    }

    CRequestTarget target;
    EXPECT_EQ(REDIRECT_NOT_WEB, ResolveRedirect(from, L"ftp://files.orvek.example/fw", target));
    EXPECT_EQ(REDIRECT_NOT_WEB, ResolveRedirect(from, L"mailto:support@orvek.example", target));
}

TEST(ResolveRedirect, OnceSecureTheRequestStaysSecure)
{
    CRequestTarget from;
    from.m_strUrl = L"https://secure.orvek.example/fw/current";
    from.m_bSecure = TRUE;
    struct
    {
        const wchar_t* pszLocation;
        RedirectOutcome outcome;
    } const rows[] = {
        {L"/fw/2.0/image.bin", REDIRECT_FOLLOW},
        {L"//mirror.orvek.example/fw", REDIRECT_FOLLOW},
        {L"http://mirror.orvek.example/fw", REDIRECT_DOWNGRADE},
        {L"HTTP://secure.orvek.example:443/fw", REDIRECT_DOWNGRADE},
    };
    for (const auto& row : rows)
    {
        CRequestTarget target;
        EXPECT_EQ(row.outcome, ResolveRedirect(from, row.pszLocation, target)) << "location " << row.pszLocation;
        EXPECT_EQ(row.outcome == REDIRECT_FOLLOW, target.m_bSecure == TRUE) << "location " << row.pszLocation;
    }
}
