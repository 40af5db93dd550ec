// The window on a scaled display, as Wine gives it to a program started with
// the prefix's LogPixels at ORVEK_TEST_DPI: ctest runs this program through
// tools/log-pixels.sh, once for each of 120, 144 and 168 dpi.
#include <algorithm>
#include <iterator>
#include "support/Pixels.h"
#include "framework/WindowDpi.h"
#include "resource.h"
#include "Fixture.h"

namespace
{
using WindowAtScaledDpiTest = CWindowFixture;

// The picture drawn for each DPI, and the title bar's icon there.
const struct
{
    UINT nDpi;
    LONG nWidth, nHeight;
    int nIconWidth;
} kScales[] = { { 120, 335, 78, 20 }, { 144, 402, 93, 24 }, { 168, 469, 108, 28 } };
}

TEST_F(WindowAtScaledDpiTest, PictureIsTheOneDrawnForTheDpiTransparentAndInItsPlace)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    ASSERT_EQ(GetWindowDpi(m_run.Window()), static_cast<UINT>(ORVEK_TEST_DPI))
        << "run through ctest, which sets the prefix's LogPixels";
    const auto* pScale = std::find_if(std::begin(kScales), std::end(kScales),
                                      [](const auto& scale) { return scale.nDpi == ORVEK_TEST_DPI; });
    ASSERT_NE(pScale, std::end(kScales));

    const HWND hPicture = m_run.Control(IDC_PICTURE);
    const SIZE size = ShownBitmapSize(hPicture);
    EXPECT_EQ(size.cx, pScale->nWidth);
    EXPECT_EQ(size.cy, pScale->nHeight);
    const RECT rectPicture = m_run.ControlRect(IDC_PICTURE);
    EXPECT_NEAR(rectPicture.right - rectPicture.left, pScale->nWidth, 4);
    EXPECT_NEAR(rectPicture.bottom - rectPicture.top, pScale->nHeight, 4);
    // It fills the template's area across, which grows with the dialog
    // font's whole-pixel size: 93 % of it at 120 and 168 dpi (the next
    // smaller picture would fill 75 and 82 %).
    const RECT rectArea = m_run.TemplateRect(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT);
    EXPECT_LE(rectPicture.right - rectPicture.left, rectArea.right - rectArea.left + 1);
    EXPECT_GE((rectPicture.right - rectPicture.left) * 10, (rectArea.right - rectArea.left) * 9);

    // As at 96 dpi: across the middle of the window, below the status line.
    RECT rectClient;
    ASSERT_TRUE(::GetClientRect(m_run.Window(), &rectClient));
    EXPECT_NEAR(rectPicture.left + rectPicture.right, rectClient.right, 4) << DescribeRect(rectPicture);
    const RECT rectStatus = m_run.ControlRect(IDC_STATIC_STATUS);
    EXPECT_GT(rectPicture.top, rectStatus.bottom);
    EXPECT_EQ(rectPicture.top, rectArea.top);
    EXPECT_EQ(SmallIconWidth(m_run.Window()), pScale->nIconWidth) << "the title bar's icon";

    // The screen shows the picture with its white left to the window's own
    // background, read back as the picture control's tests do.
    EXPECT_EQ(ShownPictureDifference(m_run.Window(), hPicture), "");
    const CPixels picture =
        ReadBitmap(reinterpret_cast<HBITMAP>(::SendMessageW(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_GT(CountColor(picture, RGB(255, 255, 255)), 0) << "a picture with a white surrounding";
}
