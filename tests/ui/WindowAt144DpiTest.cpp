// The window on a display of 144 dpi (150 %), as Wine gives it to a program
// started with the prefix's LogPixels at 144: ctest's fixture dpi144 sets it
// before these tests and puts it back after them.
#include "common/Pixels.h"
#include "framework/WindowDpi.h"
#include "resource.h"
#include "ui/WindowFixture.h"

namespace
{
using WindowAt144DpiTest = CWindowFixture;
}

TEST_F(WindowAt144DpiTest, PictureIsTheOneDrawnFor144DpiTransparentAndInItsPlace)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    ASSERT_EQ(GetWindowDpi(m_run.Window()), 144u) << "run through ctest, whose fixture sets the prefix's LogPixels";

    const HWND hPicture = m_run.Control(IDC_PICTURE);
    const SIZE size = ShownBitmapSize(hPicture);
    EXPECT_EQ(size.cx, 402);
    EXPECT_EQ(size.cy, 93);
    const RECT rectPicture = m_run.ControlRect(IDC_PICTURE);
    EXPECT_NEAR(rectPicture.right - rectPicture.left, 402, 4);
    EXPECT_NEAR(rectPicture.bottom - rectPicture.top, 93, 4);

    // As at 96 dpi: across the middle of the window, below the status line.
    RECT rectClient;
    ASSERT_TRUE(::GetClientRect(m_run.Window(), &rectClient));
    EXPECT_NEAR(rectPicture.left + rectPicture.right, rectClient.right, 4) << DescribeRect(rectPicture);
    const RECT rectStatus = m_run.ControlRect(IDC_STATIC_STATUS);
    EXPECT_GT(rectPicture.top, rectStatus.bottom);
    EXPECT_EQ(rectPicture.top, m_run.TemplateRect(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT).top);
    EXPECT_EQ(SmallIconWidth(m_run.Window()), 24) << "the title bar's icon";

    // The screen shows the picture with its white left to the window's own
    // background, read back as the picture control's tests do.
    const RECT rectCorner = { 2, 2, 3, 3 };
    const COLORREF crBackground = ReadWindow(m_run.Window(), rectCorner).At(0, 0);
    const CPixels picture =
        ReadBitmap(reinterpret_cast<HBITMAP>(::SendMessageW(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    const CPixels expected = ComposeOver(picture, size.cx, size.cy, crBackground);
    const RECT rectShown = { 0, 0, size.cx, size.cy };
    std::string strDifference = "nothing read";
    for (int nTry = 0; nTry < 50 && !strDifference.empty(); ++nTry)
    {
        ::Sleep(nTry == 0 ? 0 : 50);
        strDifference = DescribeDifference(ReadWindow(hPicture, rectShown), expected);
    }
    EXPECT_EQ(strDifference, "");
    EXPECT_GT(CountColor(picture, RGB(255, 255, 255)), 0) << "a picture with a white surrounding";
}
