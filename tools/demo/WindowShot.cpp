// Screen pictures of a window.
#include "WindowShot.h"
#include <cstdio>
#include <vector>

namespace
{
// Screen and memory contexts and the section, released in reverse order.
class CScreenCopy
{
public:
    CScreenCopy(int nWidth, int nHeight) : m_hScreen(::GetDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        if (m_hScreen != nullptr)
            m_hMemory = ::CreateCompatibleDC(m_hScreen);
        if (m_hMemory != nullptr)
            m_hBitmap = ::CreateDIBSection(m_hMemory, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
        if (m_hBitmap != nullptr)
            m_hOld = ::SelectObject(m_hMemory, m_hBitmap);
    }
    ~CScreenCopy()
    {
        if (m_hOld != nullptr)
            ::SelectObject(m_hMemory, m_hOld);
        if (m_hBitmap != nullptr)
            ::DeleteObject(m_hBitmap);
        if (m_hMemory != nullptr)
            ::DeleteDC(m_hMemory);
        if (m_hScreen != nullptr)
            ::ReleaseDC(nullptr, m_hScreen);
    }
    CScreenCopy(const CScreenCopy&) = delete;
    CScreenCopy& operator=(const CScreenCopy&) = delete;

    bool Copy(const RECT& rect)
    {
        return m_hOld != nullptr
               && ::BitBlt(m_hMemory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, m_hScreen, rect.left,
                           rect.top, SRCCOPY)
               && ::GdiFlush();
    }
    const void* Bits() const { return m_pBits; }

private:
    HDC m_hScreen;
    HDC m_hMemory = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    void* m_pBits = nullptr;
};
}

bool SaveWindowShot(HWND hWnd, const std::string& strPath)
{
    RECT rect;
    if (!::GetWindowRect(hWnd, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    CScreenCopy copy(nWidth, nHeight);
    if (!copy.Copy(rect))
        return false;

    const DWORD dwStride = (static_cast<DWORD>(nWidth) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = nWidth;
    header.biHeight = nHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = dwStride * nHeight;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* pFile = fopen(strPath.c_str(), "wb");
    if (pFile == nullptr)
        return false;
    const bool bWritten = fwrite(&file, sizeof(file), 1, pFile) == 1 && fwrite(&header, sizeof(header), 1, pFile) == 1
                          && fwrite(copy.Bits(), header.biSizeImage, 1, pFile) == 1;
    return fclose(pFile) == 0 && bWritten;
}
