// The window at the prefix's 96 dpi, laid out as its template says, and
// moved to displays of other DPIs (WM_DPICHANGED, which Wine never sends).
#include "framework/WindowDpi.h"
#include "resource.h"
#include "Fixture.h"

namespace
{
using WindowDpiTest = CWindowFixture;
}

TEST_F(WindowDpiTest, At96DpiEveryControlSitsWhereTheTemplatePutsIt)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    ASSERT_EQ(GetWindowDpi(m_run.Window()), 96u) << "the prefix's LogPixels";
    const struct
    {
        int nID;
        int x, y, nWidth, nHeight;
    } kControls[] = {
        { IDOK, 92, 67, 81, 23 },
        { IDC_PROGRESS_DOWNLOAD, 36, 52, 193, 14 },
        { IDC_PROGRESS_UPDATE, 36, 100, 193, 14 },
        { IDC_STATIC_DOWNLOAD, 36, 41, 193, 8 },
        { IDC_STATIC_UPDATE, 36, 89, 193, 8 },
        { IDC_STATIC_STATUS, 36, 50, 193, 8 },
    };
    for (const auto& control : kControls)
    {
        SCOPED_TRACE(control.nID);
        EXPECT_EQ(DescribeRect(m_run.ControlRect(control.nID)),
                  DescribeRect(m_run.TemplateRect(control.x, control.y, control.nWidth, control.nHeight)));
    }
    // The static control sizes itself to its bitmap from the template's corner.
    const RECT rectArea = m_run.TemplateRect(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT);
    const RECT rectPicture = { rectArea.left, rectArea.top, rectArea.left + 268, rectArea.top + 62 };
    EXPECT_EQ(DescribeRect(m_run.ControlRect(IDC_PICTURE)), DescribeRect(rectPicture));

    RECT rectWindow;
    ASSERT_TRUE(::GetWindowRect(m_run.Window(), &rectWindow));
    EXPECT_EQ(rectWindow.right - rectWindow.left, 404);
    EXPECT_EQ(rectWindow.bottom - rectWindow.top, 268);
    EXPECT_EQ(SmallIconWidth(m_run.Window()), 16) << "the title bar's icon";
}

TEST_F(WindowDpiTest, MovedToAnotherDpiTakesTheSuggestedRectAndThePictureDrawnForIt)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    const HWND hPicture = m_run.Control(IDC_PICTURE);
    const LRESULT hTemplateBitmap = ::SendMessageW(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0);
    const RECT rectPictureAt96 = m_run.ControlRect(IDC_PICTURE);
    const RECT rectArea = m_run.TemplateRect(PICTURE_LEFT, PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT);

    // 108 and 240 dpi have no drawing of their own: the next larger one
    // scaled down, above the largest that one scaled up. The last row comes
    // back to 96 dpi.
    const struct
    {
        UINT nDpi;
        LONG nWidth, nHeight;
        int nIconWidth;
    } kRows[] = { { 120, 335, 78, 20 },  { 144, 402, 93, 24 }, { 168, 469, 108, 28 }, { 192, 536, 124, 32 },
                  { 108, 302, 70, 18 },  { 240, 670, 155, 40 }, { 96, 268, 62, 16 } };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(testing::Message() << row.nDpi << " dpi");
        const int nLeft = 20 + static_cast<int>(row.nDpi);
        RECT rectSuggested = { nLeft, 30, nLeft + ::MulDiv(404, row.nDpi, 96), 30 + ::MulDiv(268, row.nDpi, 96) };
        ::SendMessageW(m_run.Window(), WM_DPICHANGED, MAKEWPARAM(row.nDpi, row.nDpi),
                       reinterpret_cast<LPARAM>(&rectSuggested));

        RECT rectWindow;
        ASSERT_TRUE(::GetWindowRect(m_run.Window(), &rectWindow));
        EXPECT_EQ(DescribeRect(rectWindow), DescribeRect(rectSuggested));
        const SIZE size = ShownBitmapSize(hPicture);
        EXPECT_EQ(size.cx, row.nWidth);
        EXPECT_EQ(size.cy, row.nHeight);
        const RECT rectPicture = m_run.ControlRect(IDC_PICTURE);
        EXPECT_EQ(rectPicture.right - rectPicture.left, row.nWidth);
        EXPECT_EQ(rectPicture.bottom - rectPicture.top, row.nHeight);
        EXPECT_NEAR(rectPicture.left + rectPicture.right, rectArea.left + rectArea.right, 2) << "centred";
        EXPECT_EQ(rectPicture.top, rectArea.top);
        EXPECT_EQ(SmallIconWidth(m_run.Window()), row.nIconWidth);
    }
    // Back at 96 dpi the static shows the bitmap it loaded itself, where it was.
    EXPECT_EQ(::SendMessageW(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0), hTemplateBitmap);
    EXPECT_EQ(DescribeRect(m_run.ControlRect(IDC_PICTURE)), DescribeRect(rectPictureAt96));
}
