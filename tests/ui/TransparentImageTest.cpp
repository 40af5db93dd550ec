// CTransparentImage under Wine's real GDI: a static control showing a bitmap,
// subclassed with the class, over a window of a known colour, read back from
// the screen. Each case runs once with MaskBlt and once through the fallback.
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>
#include "LiveAllocations.h"
#include "framework/afxwin.h"
#include "support/Pixels.h"
#include "support/Backdrop.h"
#include "resource.h"
#include "ui/TransparentImage.h"

namespace
{
const COLORREF kBackground = RGB(10, 120, 200);
const COLORREF kStaticBrush = RGB(190, 40, 60);
const COLORREF kMarker = RGB(30, 160, 70);
const COLORREF kWhite = RGB(255, 255, 255);
const int kPictureId = 1000;

enum class Draw
{
    MaskBlt,
    Fallback
};

const char* DrawName(Draw draw)
{
    return draw == Draw::MaskBlt ? "MaskBlt" : "Fallback";
}

void PrintTo(Draw draw, std::ostream* pStream)
{
    *pStream << DrawName(draw);
}

int g_nMaskBltSucceeded = 0;
int g_nMaskBltFailed = 0;

BOOL WINAPI CountingMaskBlt(HDC hdcDest, int xDest, int yDest, int width, int height, HDC hdcSrc, int xSrc,
                            int ySrc, HBITMAP hbmMask, int xMask, int yMask, DWORD rop)
{
    const BOOL bDrawn = ::MaskBlt(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, hbmMask, xMask,
                                  yMask, rop);
    ++(bDrawn ? g_nMaskBltSucceeded : g_nMaskBltFailed);
    return bDrawn;
}

BOOL WINAPI FailingMaskBlt(HDC, int, int, int, int, HDC, int, int, HBITMAP, int, int, DWORD)
{
    ++g_nMaskBltFailed;
    return FALSE;
}

// W x H pixels mixing pure white with colours close to it and with dark ones.
CPixels Pattern(int nWidth, int nHeight, bool bWithWhite)
{
    static const COLORREF kColors[] = {
        RGB(247, 247, 247), RGB(254, 255, 255), RGB(255, 254, 255), RGB(255, 255, 254),
        RGB(0, 0, 0),       RGB(200, 30, 40),   RGB(20, 200, 60),   RGB(128, 128, 128),
    };
    CPixels pixels;
    pixels.nWidth = nWidth;
    pixels.nHeight = nHeight;
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            const int n = x * 7 + y * 3;
            pixels.colors.push_back(bWithWhite && n % 5 == 0 ? kWhite : kColors[n % 8]);
        }
    }
    return pixels;
}

CPixels Uniform(int nWidth, int nHeight, COLORREF color)
{
    CPixels pixels;
    pixels.nWidth = nWidth;
    pixels.nHeight = nHeight;
    pixels.colors.assign(static_cast<size_t>(nWidth) * nHeight, color);
    return pixels;
}

CPixels WithRect(CPixels pixels, const RECT& rect, const CPixels& inside)
{
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            pixels.colors[static_cast<size_t>(y) * pixels.nWidth + x] = inside.At(x, y);
    return pixels;
}

HBITMAP ControlBitmap(HWND hControl)
{
    return reinterpret_cast<HBITMAP>(::SendMessageW(hControl, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// Repaints only the control, over whatever the screen shows under it.
void RepaintControl(HWND hControl, const RECT* pRect)
{
    ::InvalidateRect(hControl, pRect, FALSE);
    ::UpdateWindow(hControl);
    PumpMessages();
}

class TransparentImageTest : public ::testing::TestWithParam<Draw>
{
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX initControls = { sizeof(initControls), ICC_WIN95_CLASSES };
        ::InitCommonControlsEx(&initControls);
    }

    void SetUp() override
    {
        g_nMaskBltSucceeded = 0;
        g_nMaskBltFailed = 0;
        g_pfnMaskBlt = GetParam() == Draw::MaskBlt ? CountingMaskBlt : FailingMaskBlt;
    }

    void TearDown() override
    {
        g_pfnMaskBlt = ::MaskBlt;
        if (m_hStatic != nullptr)
            ::DestroyWindow(m_hStatic);
        if (m_hBitmap != nullptr)
            ::DeleteObject(m_hBitmap);
    }

    // A pattern of 40 x 24 with white in a bitmap static of a backdrop,
    // subclassed; all of it goes at the end of the test.
    void ShowPattern()
    {
        m_picture = Pattern(40, 24, true);
        m_hBitmap = CreateScreenBitmap(m_picture);
        m_pBackdrop = std::make_unique<CBackdrop>(kBackground, kStaticBrush);
        m_hStatic = m_pBackdrop->AddStatic(SS_BITMAP, nullptr, 30, 20, 10, 10, kPictureId);
        ::SendMessageW(m_hStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_hBitmap));
        ASSERT_TRUE(m_image.SubclassWindow(m_hStatic));
    }

    // The paints went the way this run asked for.
    void ExpectDrawPath() const
    {
        if (GetParam() == Draw::MaskBlt)
        {
            EXPECT_GT(g_nMaskBltSucceeded, 0) << "MaskBlt was never called";
            EXPECT_EQ(g_nMaskBltFailed, 0) << "MaskBlt failed";
        }
        else
        {
            EXPECT_GT(g_nMaskBltFailed, 0) << "the fallback was never reached";
        }
    }

    CPixels m_picture;
    HBITMAP m_hBitmap = nullptr;
    std::unique_ptr<CBackdrop> m_pBackdrop;
    HWND m_hStatic = nullptr;
    CTransparentImage m_image;
};

struct CompositionCase
{
    const char* pszName;
    CPixels picture;
    int nClientWidth;
    int nClientHeight;
};

TEST_P(TransparentImageTest, ShowsExactlyTheNonWhitePixelsOfTheTopLeftPart)
{
    const std::vector<CompositionCase> cases = {
        { "white and near-white at the bitmap's own size", Pattern(40, 24, true), 40, 24 },
        { "client area larger than the bitmap", Pattern(40, 24, true), 57, 33 },
        { "client area smaller than the bitmap", Pattern(40, 24, true), 29, 17 },
        { "bitmap without pure white", Pattern(40, 24, false), 40, 24 },
        { "all-white bitmap", Uniform(40, 24, kWhite), 40, 24 },
    };
    CBackdrop backdrop(kBackground, kStaticBrush);
    for (const CompositionCase& row : cases)
    {
        SCOPED_TRACE(row.pszName);
        HBITMAP hBitmap = CreateScreenBitmap(row.picture);
        ASSERT_NE(hBitmap, nullptr);
        ASSERT_EQ(DescribeDifference(ReadBitmap(hBitmap), row.picture), "") << "the bitmap did not keep its colours";

        HWND hStatic = backdrop.AddStatic(SS_BITMAP, nullptr, 30, 20, 10, 10, kPictureId);
        ASSERT_NE(hStatic, nullptr);
        ::SendMessageW(hStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap));
        ::SetWindowPos(hStatic, nullptr, 0, 0, row.nClientWidth, row.nClientHeight, SWP_NOMOVE | SWP_NOZORDER);
        CTransparentImage image;
        ASSERT_TRUE(image.SubclassWindow(hStatic));
        backdrop.Redraw();

        const CPixels shown = ReadWindow(backdrop.GetSafeHwnd(), ChildRect(hStatic));
        EXPECT_EQ(DescribeDifference(shown, ComposeOver(row.picture, row.nClientWidth, row.nClientHeight,
                                                        kBackground)), "");

        ::DestroyWindow(hStatic);
        ::DeleteObject(hBitmap);
    }
    ExpectDrawPath();
}

TEST_P(TransparentImageTest, DevicePictureOnTheUpdaterTemplateShowsTheWindowThroughItsSurroundings)
{
    HBRUSH hbrBackground = ::CreateSolidBrush(kBackground);
    struct DialogProc
    {
        static INT_PTR CALLBACK Handle(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
        {
            if (message == WM_INITDIALOG)
                ::SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
            if (message == WM_CTLCOLORDLG)
                return static_cast<INT_PTR>(::GetWindowLongPtrW(hDlg, DWLP_USER));
            return FALSE;
        }
    };
    HWND hDlg = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER_DIALOG), nullptr,
                                     DialogProc::Handle, reinterpret_cast<LPARAM>(hbrBackground));
    ASSERT_NE(hDlg, nullptr);
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (::GetDlgCtrlID(hChild) != IDC_PICTURE)
            ::ShowWindow(hChild, SW_HIDE);
    }
    HWND hPicture = ::GetDlgItem(hDlg, IDC_PICTURE);
    CTransparentImage image;
    ASSERT_TRUE(image.SubclassWindow(hPicture));
    RECT client;
    image.GetClientRect(&client);
    EXPECT_EQ(client.right, 268);
    EXPECT_EQ(client.bottom, 62);

    const CPixels picture = ReadBitmap(ControlBitmap(hPicture));
    ASSERT_EQ(picture.nWidth, 268);
    ASSERT_EQ(picture.nHeight, 62);
    ASSERT_EQ(CountColor(picture, kBackground), 0) << "the background colour must not occur in the picture";
    EXPECT_EQ(CountColor(picture, kWhite), 3805);

    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    const CPixels shown = ReadWindow(hDlg, ChildRect(hPicture));
    EXPECT_EQ(CountColor(shown, kBackground), 3805);
    EXPECT_EQ(DescribeDifference(shown, ComposeOver(picture, 268, 62, kBackground)), "");
    ExpectDrawPath();

    ::DestroyWindow(hDlg);
    PumpMessages();
    ::DeleteObject(hbrBackground);
}

TEST_P(TransparentImageTest, PartialRepaintChangesOnlyItsPartWithTheSamePixels)
{
    ASSERT_NO_FATAL_FAILURE(ShowPattern());
    m_pBackdrop->Redraw();
    const RECT whole = { 0, 0, 40, 24 };
    const CPixels marked = Uniform(40, 24, kMarker);

    FillWindow(m_hStatic, kMarker);
    RepaintControl(m_hStatic, nullptr);
    const CPixels full = ReadWindow(m_hStatic, whole);
    EXPECT_EQ(DescribeDifference(full, ComposeOver(m_picture, 40, 24, kMarker)), "")
        << "a full repaint should keep what the screen shows under the white pixels";

    const RECT part = { 7, 5, 23, 16 };
    FillWindow(m_hStatic, kMarker);
    RepaintControl(m_hStatic, &part);
    EXPECT_EQ(DescribeDifference(ReadWindow(m_hStatic, whole), WithRect(marked, part, full)), "");
    ExpectDrawPath();
}

// Nor does it leave anything in the framework's maps or any GDI object
// behind, however often it paints (Wine counts no GDI objects).
TEST_P(TransparentImageTest, PaintsLeaveTheControlsBitmapUnchangedSelectedNowhereAndNothingBehind)
{
    ASSERT_NO_FATAL_FAILURE(ShowPattern());
    m_pBackdrop->Redraw();
    const long nLive = LiveAllocations();
    const DWORD nGdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i)
        m_pBackdrop->Redraw();
    EXPECT_EQ(LiveAllocations(), nLive);
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), nGdiObjects);

    EXPECT_EQ(ControlBitmap(m_hStatic), m_hBitmap);
    EXPECT_EQ(DescribeDifference(ReadBitmap(m_hBitmap), m_picture), "");
    HDC hMemory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hMemory, m_hBitmap);
    EXPECT_NE(hOld, nullptr) << "the bitmap is still selected into a context";
    ::SelectObject(hMemory, hOld);
    ::DeleteDC(hMemory);
    ExpectDrawPath();
}

INSTANTIATE_TEST_SUITE_P(Draw, TransparentImageTest, ::testing::Values(Draw::MaskBlt, Draw::Fallback),
                         [](const ::testing::TestParamInfo<Draw>& info) { return std::string(DrawName(info.param)); });

// Without a bitmap the class leaves painting to the static control.
TEST(TransparentImageWithoutBitmapTest, PaintsAsThePlainStaticControl)
{
    struct StaticCase
    {
        const char* pszName;
        DWORD dwStyle;
        LPCWSTR lpszText;
    };
    const StaticCase cases[] = {
        { "picture control without a bitmap", SS_BITMAP, nullptr },
        { "text control", SS_LEFT, L"ENTER PORT" },
    };
    for (const StaticCase& row : cases)
    {
        SCOPED_TRACE(row.pszName);
        CBackdrop backdrop(kBackground, kStaticBrush);
        HWND hPlain = backdrop.AddStatic(row.dwStyle, row.lpszText, 10, 10, 90, 20, 1001);
        HWND hSubclassed = backdrop.AddStatic(row.dwStyle, row.lpszText, 10, 50, 90, 20, 1002);
        CTransparentImage image;
        ASSERT_TRUE(image.SubclassWindow(hSubclassed));
        backdrop.Redraw();

        const CPixels plain = ReadWindow(backdrop.GetSafeHwnd(), ChildRect(hPlain));
        EXPECT_LT(CountColor(plain, kBackground), 90 * 20) << "the plain control painted nothing";
        EXPECT_EQ(DescribeDifference(ReadWindow(backdrop.GetSafeHwnd(), ChildRect(hSubclassed)), plain), "");
    }
}
}
