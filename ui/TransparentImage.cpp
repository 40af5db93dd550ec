// Painting the picture through a mask built from its pure white pixels.
#include "ui/TransparentImage.h"
#include <algorithm>

namespace
{
const COLORREF kTransparentColor = RGB(255, 255, 255);
// Where the mask is 1 keep the screen (0xAA), where it is 0 copy the source.
const DWORD kMaskRop = 0xCCAA0020;
// Destination AND NOT source.
const DWORD kDstAndNotSrc = 0x00220326;
}

MaskBltFunction g_pfnMaskBlt = ::MaskBlt;

IMPLEMENT_DYNAMIC(CTransparentImage, CStatic)

BEGIN_MESSAGE_MAP(CTransparentImage, CStatic)
    ON_WM_PAINT()
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

LRESULT CTransparentImage::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (m_strAltText.IsEmpty())
        return Default();
    const int nBuffer = static_cast<int>(wParam);
    LPWSTR pszBuffer = reinterpret_cast<LPWSTR>(lParam);
    if (nBuffer <= 0 || pszBuffer == nullptr)
        return 0;
    const int nLength = std::min(nBuffer - 1, m_strAltText.GetLength());
    ::CopyMemory(pszBuffer, m_strAltText.GetString(), static_cast<size_t>(nLength) * sizeof(WCHAR));
    pszBuffer[nLength] = L'\0';
    return nLength;
}

LRESULT CTransparentImage::OnGetTextLength(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return m_strAltText.IsEmpty() ? Default() : m_strAltText.GetLength();
}

void CTransparentImage::OnPaint()
{
    HBITMAP hBitmap = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (hBitmap == nullptr)
    {
        Default();
        return;
    }

    CPaintDC dc(this);
    if (dc.GetSafeHdc() == nullptr)
    {
        ValidateRect(nullptr);
        return;
    }
    RECT rect;
    GetClientRect(&rect);
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;

    CDC dcImage;
    if (!dcImage.CreateCompatibleDC(&dc))
    {
        ValidateRect(nullptr);
        return;
    }
    CBitmap bmpImage;
    bmpImage.CreateCompatibleBitmap(&dc, nWidth, nHeight);
    // Selected and put back with the plain calls: the framework's wrapper of
    // each bitmap taken out would stay in its map for the thread's life.
    const HGDIOBJ hOldImageBitmap = ::SelectObject(dcImage, bmpImage);

    CDC dcMask;
    dcMask.CreateCompatibleDC(&dc);
    CBitmap bmpMask;
    bmpMask.CreateBitmap(nWidth, nHeight, 1, 1, nullptr);
    const HGDIOBJ hOldMaskBitmap = ::SelectObject(dcMask, bmpMask);

    dcImage.FillSolidRect(&rect, kTransparentColor);

    CDC dcSource;
    dcSource.CreateCompatibleDC(&dc);
    const HGDIOBJ hOldSourceBitmap = ::SelectObject(dcSource, hBitmap);
    dcImage.BitBlt(0, 0, nWidth, nHeight, &dcSource, 0, 0, SRCCOPY);
    ::SelectObject(dcSource, hOldSourceBitmap);

    const COLORREF crOldBack = dcImage.SetBkColor(kTransparentColor);
    dcMask.BitBlt(0, 0, nWidth, nHeight, &dcImage, 0, 0, SRCCOPY);
    dcImage.SetBkColor(crOldBack);

    if (!g_pfnMaskBlt(dc, 0, 0, nWidth, nHeight, dcImage, 0, 0, bmpMask, 0, 0, kMaskRop))
    {
        CDC dcComposite;
        dcComposite.CreateCompatibleDC(&dc);
        CBitmap bmpComposite;
        bmpComposite.CreateCompatibleBitmap(&dc, nWidth, nHeight);
        const HGDIOBJ hOldCompositeBitmap = ::SelectObject(dcComposite, bmpComposite);

        dcComposite.BitBlt(0, 0, nWidth, nHeight, &dc, 0, 0, SRCCOPY);
        dcComposite.BitBlt(0, 0, nWidth, nHeight, &dcMask, 0, 0, SRCAND);
        dcImage.BitBlt(0, 0, nWidth, nHeight, &dcMask, 0, 0, kDstAndNotSrc);
        dcComposite.BitBlt(0, 0, nWidth, nHeight, &dcImage, 0, 0, SRCPAINT);
        dc.BitBlt(0, 0, nWidth, nHeight, &dcComposite, 0, 0, SRCCOPY);

        ::SelectObject(dcComposite, hOldCompositeBitmap);
        bmpComposite.DeleteObject();
        dcComposite.DeleteDC();
    }

    ::SelectObject(dcMask, hOldMaskBitmap);
    ::SelectObject(dcImage, hOldImageBitmap);
    dcSource.DeleteDC();
    bmpMask.DeleteObject();
    dcMask.DeleteDC();
    bmpImage.DeleteObject();
    dcImage.DeleteDC();
}
