// Screen pictures of a window.
#include "WindowShot.h"
#include <cstdio>
#include <vector>
#include "support/Pixels.h"

bool SaveWindowShot(HWND hWnd, const std::string& strPath)
{
    RECT rect;
    if (!::GetWindowRect(hWnd, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    // The screen's own context: the window with its frame, as it is shown.
    const CPixels shot = ReadWindow(nullptr, rect);
    if (shot.colors.empty())
        return false;

    // A 24-bit BMP file: rows from the bottom up, each padded to 4 bytes.
    const DWORD dwStride = (static_cast<DWORD>(shot.nWidth) * 3 + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<size_t>(dwStride) * shot.nHeight);
    for (int y = 0; y < shot.nHeight; ++y)
    {
        BYTE* pRow = &bits[static_cast<size_t>(shot.nHeight - 1 - y) * dwStride];
        for (int x = 0; x < shot.nWidth; ++x)
        {
            const COLORREF color = shot.At(x, y);
            *pRow++ = GetBValue(color);
            *pRow++ = GetGValue(color);
            *pRow++ = GetRValue(color);
        }
    }
    BITMAPINFOHEADER header = { sizeof(header), shot.nWidth, shot.nHeight, 1, 24, BI_RGB,
                                static_cast<DWORD>(bits.size()), 0, 0, 0, 0 };
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* pFile = fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    const bool bWritten = fwrite(&file, sizeof(file), 1, pFile) == 1 && fwrite(&header, sizeof(header), 1, pFile) == 1
                          && fwrite(bits.data(), bits.size(), 1, pFile) == 1;
    return fclose(pFile) == 0 && bWritten;
}
