// Pixel access for the picture tests.
#include "support/Pixels.h"
#include <cstdio>

namespace
{
BITMAPINFO TopDownInfo(int nWidth, int nHeight)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// DIB words are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
COLORREF FromDibWord(DWORD dw)
{
    return RGB((dw >> 16) & 0xFF, (dw >> 8) & 0xFF, dw & 0xFF);
}

DWORD ToDibWord(COLORREF color)
{
    return (static_cast<DWORD>(GetRValue(color)) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

std::string Hex(COLORREF color)
{
    char sz[16];
    std::snprintf(sz, sizeof(sz), "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return sz;
}
}

HBITMAP CreateScreenBitmap(const CPixels& pixels)
{
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, pixels.nWidth, pixels.nHeight);
    std::vector<DWORD> words;
    words.reserve(pixels.colors.size());
    for (COLORREF color : pixels.colors)
        words.push_back(ToDibWord(color));
    BITMAPINFO info = TopDownInfo(pixels.nWidth, pixels.nHeight);
    ::SetDIBits(hScreen, hBitmap, 0, pixels.nHeight, words.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    return hBitmap;
}

CPixels ReadBitmap(HBITMAP hBitmap)
{
    CPixels pixels;
    BITMAP bm = {};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0)
        return pixels;
    std::vector<DWORD> words(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO info = TopDownInfo(bm.bmWidth, bm.bmHeight);
    HDC hScreen = ::GetDC(nullptr);
    const int nRows = ::GetDIBits(hScreen, hBitmap, 0, bm.bmHeight, words.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    if (nRows != bm.bmHeight)
        return pixels;
    pixels.nWidth = bm.bmWidth;
    pixels.nHeight = bm.bmHeight;
    for (DWORD dw : words)
        pixels.colors.push_back(FromDibWord(dw));
    return pixels;
}

CPixels ReadWindow(HWND hWnd, const RECT& rect)
{
    CPixels pixels;
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    BITMAPINFO info = TopDownInfo(nWidth, nHeight);
    void* pBits = nullptr;
    HBITMAP hSection = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hSection == nullptr)
        return pixels;
    HDC hWindow = ::GetDC(hWnd);
    HDC hMemory = ::CreateCompatibleDC(hWindow);
    HGDIOBJ hOld = ::SelectObject(hMemory, hSection);
    const BOOL bCopied = ::BitBlt(hMemory, 0, 0, nWidth, nHeight, hWindow, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    if (bCopied)
    {
        pixels.nWidth = nWidth;
        pixels.nHeight = nHeight;
        const DWORD* pWords = static_cast<const DWORD*>(pBits);
        for (int i = 0; i < nWidth * nHeight; ++i)
            pixels.colors.push_back(FromDibWord(pWords[i]));
    }
    ::SelectObject(hMemory, hOld);
    ::DeleteDC(hMemory);
    ::ReleaseDC(hWnd, hWindow);
    ::DeleteObject(hSection);
    return pixels;
}

void FillWindow(HWND hWnd, COLORREF color)
{
    HDC hWindow = ::GetDC(hWnd);
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    HBRUSH hBrush = ::CreateSolidBrush(color);
    ::FillRect(hWindow, &rect, hBrush);
    ::DeleteObject(hBrush);
    ::ReleaseDC(hWnd, hWindow);
}

CPixels ComposeOver(const CPixels& picture, int nWidth, int nHeight, COLORREF background)
{
    CPixels pixels;
    pixels.nWidth = nWidth;
    pixels.nHeight = nHeight;
    pixels.colors.assign(static_cast<size_t>(nWidth) * nHeight, background);
    for (int y = 0; y < nHeight && y < picture.nHeight; ++y)
    {
        for (int x = 0; x < nWidth && x < picture.nWidth; ++x)
        {
            const COLORREF color = picture.At(x, y);
            if (color != RGB(255, 255, 255))
                pixels.colors[static_cast<size_t>(y) * nWidth + x] = color;
        }
    }
    return pixels;
}

int CountColor(const CPixels& pixels, COLORREF color)
{
    int nCount = 0;
    for (COLORREF c : pixels.colors)
        nCount += c == color ? 1 : 0;
    return nCount;
}

std::string DescribeDifference(const CPixels& got, const CPixels& expected)
{
    if (got.nWidth != expected.nWidth || got.nHeight != expected.nHeight)
    {
        return "got " + std::to_string(got.nWidth) + " x " + std::to_string(got.nHeight) + " pixels, expected "
               + std::to_string(expected.nWidth) + " x " + std::to_string(expected.nHeight);
    }
    int nDiffering = 0;
    std::string strFirst;
    for (int y = 0; y < got.nHeight; ++y)
    {
        for (int x = 0; x < got.nWidth; ++x)
        {
            if (got.At(x, y) == expected.At(x, y))
                continue;
            if (nDiffering++ == 0)
            {
                strFirst = "at (" + std::to_string(x) + ", " + std::to_string(y) + ") got " + Hex(got.At(x, y))
                           + ", expected " + Hex(expected.At(x, y));
            }
        }
    }
    if (nDiffering == 0)
        return std::string();
    return std::to_string(nDiffering) + " pixels differ, first " + strFirst;
}

std::string ShownPictureDifference(HWND hDialog, HWND hPicture)
{
    const RECT rectCorner = { 2, 2, 3, 3 };
    const COLORREF crBackground = ReadWindow(hDialog, rectCorner).At(0, 0);
    const CPixels picture =
        ReadBitmap(reinterpret_cast<HBITMAP>(::SendMessageW(hPicture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    const CPixels expected = ComposeOver(picture, picture.nWidth, picture.nHeight, crBackground);
    const RECT rectShown = { 0, 0, picture.nWidth, picture.nHeight };
    std::string strDifference = "nothing read";
    for (int nTry = 0; nTry < 50 && !strDifference.empty(); ++nTry)
    {
        ::Sleep(nTry == 0 ? 0 : 50);
        strDifference = DescribeDifference(ReadWindow(hPicture, rectShown), expected);
    }
    return strDifference;
}
