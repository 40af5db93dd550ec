#include "framework/afxwin.h"
#include <gtest/gtest.h>

TEST(CString, FormatTakesWideStringsAndSignedNumbers)
{
    CString str;
    str.Format(L"?%s=%s", L"version", L"2.0");
    EXPECT_STREQ(L"?version=2.0", str);
}
