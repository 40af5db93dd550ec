// Area-averaging resize that keeps the transparent colour exact: a blend of
// white and the drawing would show as a pale fringe, and a pale pixel that
// rounded to white would turn into a hole.
#include "ui/TransparentScale.h"
#include <algorithm>
#include <vector>

namespace
{
constexpr DWORD WHITE = 0xFFFFFF;

struct CSpan
{
    int nSource;
    double dWeight;
};

// For each of nTo pixels, the nFrom pixels it covers and by how much.
std::vector<std::vector<CSpan>> Spans(int nFrom, int nTo)
{
    std::vector<std::vector<CSpan>> spans(static_cast<size_t>(nTo));
    const double dScale = static_cast<double>(nFrom) / nTo;
    for (int i = 0; i < nTo; ++i)
    {
        const double dStart = i * dScale;
        const double dEnd = (i + 1) * dScale;
        for (int n = static_cast<int>(dStart); n < nFrom && n < dEnd; ++n)
        {
            const double dWeight = std::min<double>(n + 1, dEnd) - std::max<double>(n, dStart);
            if (dWeight > 0)
                spans[static_cast<size_t>(i)].push_back({ n, dWeight });
        }
    }
    return spans;
}

BITMAPINFO TopDown32(int nWidth, int nHeight)
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
}

HBITMAP ScaleTransparentBitmap(HBITMAP hSource, int nWidth, int nHeight)
{
    BITMAP bitmap;
    if (nWidth <= 0 || nHeight <= 0 || ::GetObjectW(hSource, sizeof(bitmap), &bitmap) == 0)
        return nullptr;
    const int nFromWidth = bitmap.bmWidth;
    const int nFromHeight = bitmap.bmHeight;
    std::vector<DWORD> arrSource(static_cast<size_t>(nFromWidth) * static_cast<size_t>(nFromHeight));
    BITMAPINFO info = TopDown32(nFromWidth, nFromHeight);
    const HDC hdcScreen = ::GetDC(nullptr);
    const int nLines = ::GetDIBits(hdcScreen, hSource, 0, static_cast<UINT>(nFromHeight), arrSource.data(), &info,
                                   DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hdcScreen);
    if (nLines != nFromHeight)
        return nullptr;

    info = TopDown32(nWidth, nHeight);
    void* pBits = nullptr;
    const HBITMAP hScaled = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hScaled == nullptr)
        return nullptr;
    DWORD* pTarget = static_cast<DWORD*>(pBits);

    const auto columns = Spans(nFromWidth, nWidth);
    const auto rows = Spans(nFromHeight, nHeight);
    for (int y = 0; y < nHeight; ++y)
    {
        for (int x = 0; x < nWidth; ++x)
        {
            double dWhite = 0;
            double dDrawn = 0;
            double arrSum[3] = {};
            for (const CSpan& row : rows[static_cast<size_t>(y)])
            {
                for (const CSpan& column : columns[static_cast<size_t>(x)])
                {
                    const double dWeight = row.dWeight * column.dWeight;
                    const DWORD dwPixel =
                        arrSource[static_cast<size_t>(row.nSource) * nFromWidth + column.nSource] & WHITE;
                    if (dwPixel == WHITE)
                    {
                        dWhite += dWeight;
                        continue;
                    }
                    dDrawn += dWeight;
                    for (int c = 0; c < 3; ++c)
                        arrSum[c] += dWeight * ((dwPixel >> (8 * c)) & 0xFF);
                }
            }
            DWORD dwPixel = WHITE;
            if (dDrawn >= dWhite)
            {
                dwPixel = 0;
                for (int c = 0; c < 3; ++c)
                    dwPixel |= static_cast<DWORD>(arrSum[c] / dDrawn + 0.5) << (8 * c);
                // Averages of nearly white pixels can round up to white.
                if (dwPixel == WHITE)
                    dwPixel = 0xFEFEFE;
            }
            pTarget[static_cast<size_t>(y) * nWidth + x] = dwPixel;
        }
    }
    return hScaled;
}
