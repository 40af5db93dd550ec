// The request target's parts.
#include "download/UpdateRequest.h"

#include <gtest/gtest.h>

TEST(CanonicalizeUrlPart, EscapesUnsafeCharactersAndKeepsTheQuery)
{
    struct
    {
        const wchar_t* pszPart;
        const wchar_t* pszExpected;
    } const rows[] = {
        {L"version", L"version"},
        {L"2.0", L"2.0"},
        {L"a b", L"a%20b"},
        {L"x<y>", L"x%3Cy%3E"},
        {L"p?a b", L"p?a b"},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(row.pszExpected, CanonicalizeUrlPart(row.pszPart).GetString()) << "part " << row.pszPart;
}

TEST(CanonicalizeUrlPart, PartLongerThanTheUsualBufferComesBackWhole)
{
    CString strPart(L'a', 3000);
    EXPECT_EQ(3000, CanonicalizeUrlPart(strPart).GetLength());
}
