// Pixel access for the picture tests: bitmaps made from and read into plain
// arrays, and what a window shows read back from its client area.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// W x H colours, row by row from the top, as COLORREF values.
struct CPixels
{
    int nWidth = 0;
    int nHeight = 0;
    std::vector<COLORREF> colors;

    COLORREF At(int x, int y) const { return colors[static_cast<size_t>(y) * nWidth + x]; }
};

// A bitmap compatible with the screen, as the static control loads its own.
HBITMAP CreateScreenBitmap(const CPixels& pixels);
CPixels ReadBitmap(HBITMAP hBitmap);

// What the window's client area shows in the rectangle (client coordinates);
// with no window, what the screen shows there.
CPixels ReadWindow(HWND hWnd, const RECT& rect);
void FillWindow(HWND hWnd, COLORREF color);

// The picture over a background of one colour, clipped or extended to W x H.
CPixels ComposeOver(const CPixels& picture, int nWidth, int nHeight, COLORREF background);

int CountColor(const CPixels& pixels, COLORREF color);

// Empty when equal; otherwise the count of differing pixels and the first one.
std::string DescribeDifference(const CPixels& got, const CPixels& expected);

// Empty when the picture control shows its bitmap whole, unmirrored, with
// its white left to the dialog's own background; else DescribeDifference's
// account. Retries for a while, as a repaint may be on its way.
std::string ShownPictureDifference(HWND hDialog, HWND hPicture);
