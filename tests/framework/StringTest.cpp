// CString: formatting with the runtime's wide conventions, trimming, searching
// and cutting, and the buffer hand-over that platform calls use.
#include "framework/afxwin.h"
#include <gtest/gtest.h>

TEST(CString, FormatTakesWideStringsAndSignedNumbers)
{
    CString str;
    str.Format(L"?%s=%s", L"version", L"2.0");
    EXPECT_STREQ(L"?version=2.0", str);

    str.Format(L"HTTP Status Code %d", 404);
    EXPECT_STREQ(L"HTTP Status Code 404", str);
    str.Format(L"%d|%u|%08X|%c", -7, 4000000000u, 0xBEEFu, L'x');
    EXPECT_STREQ(L"-7|4000000000|0000BEEF|x", str);
}

TEST(CString, FormatReplacesTheWholeTextEvenWhenItFormatsToNothing)
{
    CString str(L"old text");
    str.Format(L"%s", L"");
    EXPECT_TRUE(str.IsEmpty());

    str = L"keep ";
    str.AppendFormat(L"%d of %d", 3, 4);
    EXPECT_STREQ(L"keep 3 of 4", str);
}

TEST(CString, FormatOfALongTextIsNotCut)
{
    const CString strPiece(L'a', 5000);
    CString str;
    str.Format(L"<%s>", static_cast<LPCWSTR>(strPiece));
    ASSERT_EQ(5002, str.GetLength());
    EXPECT_EQ(L'<', str[0]);
    EXPECT_EQ(L'a', str[4999]);
    EXPECT_EQ(L'>', str[5001]);
}

TEST(CString, FormatMayTakeItsOwnTextAsAnArgument)
{
    CString str(L"Download");
    str.Format(L"%s complete!", static_cast<LPCWSTR>(str));
    EXPECT_STREQ(L"Download complete!", str);
}

TEST(CString, TrimRemovesWhiteSpaceAtBothEndsOnly)
{
    const struct
    {
        LPCWSTR pszIn;
        LPCWSTR pszTrimmed;
        LPCWSTR pszLeft;
        LPCWSTR pszRight;
    } cases[] = {
        { L"  value\t\r\n", L"value", L"value\t\r\n", L"  value" },
        { L" two  words ", L"two  words", L"two  words ", L" two  words" },
        { L"\r\n", L"", L"", L"" },
        { L"", L"", L"", L"" },
        { L"none", L"none", L"none", L"none" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "input \"" << c.pszIn << "\"");
        CString str(c.pszIn);
        EXPECT_STREQ(c.pszTrimmed, str.Trim());
        EXPECT_STREQ(c.pszLeft, CString(c.pszIn).TrimLeft());
        EXPECT_STREQ(c.pszRight, CString(c.pszIn).TrimRight());
    }
}

TEST(CString, FindGivesTheFirstMatchAtOrAfterTheStart)
{
    const CString str(L"Content-Length: 12: 34");
    EXPECT_EQ(14, str.Find(L':'));
    EXPECT_EQ(18, str.Find(L':', 15));
    EXPECT_EQ(14, str.Find(L':', 14));
    EXPECT_EQ(-1, str.Find(L'#'));
    EXPECT_EQ(8, str.Find(L"Length"));
    EXPECT_EQ(-1, str.Find(L"length"));
    EXPECT_EQ(-1, str.Find(L':', 19));
    EXPECT_EQ(-1, str.Find(L':', -1));
    EXPECT_EQ(-1, str.Find(L':', 1000));
    EXPECT_EQ(18, str.ReverseFind(L':'));
}

TEST(CString, LeftMidAndRightStayInsideTheText)
{
    const CString str(L"X-Orvek-Error");
    EXPECT_STREQ(L"X-Orvek", str.Left(7));
    EXPECT_STREQ(L"Orvek", str.Mid(2, 5));
    EXPECT_STREQ(L"Error", str.Mid(8));
    EXPECT_STREQ(L"Error", str.Right(5));

    EXPECT_STREQ(L"", str.Left(0));
    EXPECT_STREQ(L"", str.Left(-3));
    EXPECT_STREQ(str, str.Left(100));
    EXPECT_STREQ(L"", str.Mid(13));
    EXPECT_STREQ(L"", str.Mid(50));
    EXPECT_STREQ(str, str.Mid(-4));
    EXPECT_STREQ(L"Error", str.Mid(8, 1000));
    EXPECT_STREQ(L"", str.Mid(8, -1));
    EXPECT_STREQ(str, str.Right(99));
}

TEST(CString, ConcatenationAndComparison)
{
    CString str = CString(L"Orvek") + L' ' + L"Updater";
    EXPECT_STREQ(L"Orvek Updater", str);
    str += L" 2.0";
    EXPECT_EQ(17, str.GetLength());
    EXPECT_TRUE(str == L"Orvek Updater 2.0");
    EXPECT_TRUE(L"orvek updater 2.0" != str);
    EXPECT_EQ(0, str.CompareNoCase(L"ORVEK UPDATER 2.0"));
    EXPECT_LT(str.Compare(L"Orvek Updater 3"), 0);

    const CString strNull(static_cast<LPCWSTR>(nullptr));
    EXPECT_TRUE(strNull.IsEmpty());
}

TEST(CString, BufferHandOverTakesTheLengthFromThePlatformsText)
{
    CString str(L"previous");
    LPWSTR pszBuffer = str.GetBuffer(64);
    ASSERT_EQ(5, ::LoadStringW(nullptr, AFX_IDS_APP_TITLE, pszBuffer, 6));
    str.ReleaseBuffer();
    EXPECT_STREQ(L"Orvek", str);

    pszBuffer = str.GetBufferSetLength(10);
    wmemcpy(pszBuffer, L"0123456789", 10);
    str.ReleaseBuffer(4);
    EXPECT_STREQ(L"0123", str);
}

TEST(CString, LoadStringReadsTheProgramsStringTable)
{
    CString str;
    ASSERT_TRUE(str.LoadString(AFX_IDS_APP_TITLE));
    EXPECT_STREQ(L"Orvek Updater", str);
    EXPECT_FALSE(str.LoadString(0x7123));
    EXPECT_STREQ(L"Orvek Updater", str);
}
