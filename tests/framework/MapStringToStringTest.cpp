// CMapStringToString as the response headers use it: one value per exact key.
#include "framework/afxcoll.h"
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include "support/Controls.h"

namespace
{
// Each key is found, with its value.
void ExpectEntries(const CMapStringToString& map, const std::vector<std::pair<LPCWSTR, LPCWSTR>>& arrEntries)
{
    for (const auto& entry : arrEntries)
    {
        CString strValue;
        ASSERT_TRUE(map.Lookup(entry.first, strValue)) << "key \"" << Narrow(entry.first) << '"';
        EXPECT_STREQ(entry.second, strValue);
    }
}
}

TEST(CMapStringToString, SetAtOnTheSameKeyReplacesTheValue)
{
    CMapStringToString map(32);
    map.SetAt(L"Content-Length", L"10");
    map.SetAt(L"Content-Length", L"20");
    EXPECT_EQ(1, map.GetCount());

    CString strValue;
    ASSERT_TRUE(map.Lookup(L"Content-Length", strValue));
    EXPECT_STREQ(L"20", strValue);
}

TEST(CMapStringToString, KeysCompareWithTheirLetterCase)
{
    CMapStringToString map;
    map.SetAt(L"X-Orvek-Error", L"upper");
    map.SetAt(L"x-orvek-error", L"lower");
    EXPECT_EQ(2, map.GetCount());

    CString strValue(L"untouched");
    EXPECT_FALSE(map.Lookup(L"X-ORVEK-ERROR", strValue));
    EXPECT_STREQ(L"untouched", strValue);
    ExpectEntries(map, { { L"x-orvek-error", L"lower" }, { L"X-Orvek-Error", L"upper" } });
}

TEST(CMapStringToString, EmptyKeysAndValuesAreEntriesLikeAnyOther)
{
    CMapStringToString map(1);
    map.SetAt(L"", L"blank name");
    map.SetAt(L"Empty", L"");
    for (int i = 0; i < 100; ++i)
    {
        CString strKey;
        strKey.Format(L"Header-%d", i);
        map.SetAt(strKey, strKey.Mid(7));
    }
    EXPECT_EQ(102, map.GetCount());

    ExpectEntries(map, { { L"", L"blank name" }, { L"Empty", L"" }, { L"Header-73", L"73" } });

    CString strValue;
    EXPECT_TRUE(map.RemoveKey(L"Header-73"));
    EXPECT_FALSE(map.RemoveKey(L"Header-73"));
    EXPECT_FALSE(map.Lookup(L"Header-73", strValue));
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
}
