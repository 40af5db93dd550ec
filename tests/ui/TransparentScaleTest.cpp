// Scaling a picture whose pure white is transparent: no pixel blends the
// drawing with the white around it, and none of the drawing turns white.
#include <gtest/gtest.h>
#include "support/Pixels.h"
#include "ui/TransparentScale.h"

namespace
{
constexpr COLORREF WHITE = RGB(255, 255, 255);

// W x H of one colour, with columns from x0 on of another.
CPixels Split(int nWidth, int nHeight, COLORREF crLeft, int x0, COLORREF crRight)
{
    CPixels pixels{ nWidth, nHeight, {} };
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            pixels.colors.push_back(x < x0 ? crLeft : crRight);
    return pixels;
}
}

TEST(TransparentScaleTest, EachPixelIsWhiteOrTheDrawingsOwnColour)
{
    const struct
    {
        const char* pszName;
        int nWidth, nHeight;
    } kRows[] = { { "down by a third", 20, 10 }, { "down by a half", 15, 7 }, { "up", 41, 23 } };
    const CPixels source = Split(30, 15, WHITE, 13, RGB(40, 60, 200));
    const HBITMAP hSource = CreateScreenBitmap(source);
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.pszName);
        const HBITMAP hScaled = ScaleTransparentBitmap(hSource, row.nWidth, row.nHeight);
        ASSERT_NE(hScaled, nullptr);
        const CPixels scaled = ReadBitmap(hScaled);
        ::DeleteObject(hScaled);
        ASSERT_EQ(scaled.nWidth, row.nWidth);
        ASSERT_EQ(scaled.nHeight, row.nHeight);
        const int nBlue = CountColor(scaled, RGB(40, 60, 200));
        const int nWhite = CountColor(scaled, WHITE);
        EXPECT_EQ(nBlue + nWhite, row.nWidth * row.nHeight) << "a blended fringe";
        // The boundary stays where it was, to within a pixel.
        EXPECT_NEAR(nWhite / row.nHeight, 13 * row.nWidth / 30, 1);
    }
    ::DeleteObject(hSource);
}

TEST(TransparentScaleTest, NearlyWhiteDrawingNeverRoundsToWhite)
{
    // Alternating columns whose average rounds to pure white.
    CPixels source{ 8, 2, {} };
    for (int n = 0; n < 16; ++n)
        source.colors.push_back(n % 2 == 0 ? RGB(255, 255, 254) : RGB(254, 255, 255));
    const HBITMAP hSource = CreateScreenBitmap(source);
    const HBITMAP hScaled = ScaleTransparentBitmap(hSource, 4, 1);
    ASSERT_NE(hScaled, nullptr);
    EXPECT_EQ(CountColor(ReadBitmap(hScaled), WHITE), 0);
    ::DeleteObject(hScaled);
    ::DeleteObject(hSource);
}
