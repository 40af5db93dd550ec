// CDC: a device context, and the drawing the program does with one.
#pragma once
#include "Object.h"

class CBitmap;

class CDC : public CObject
{
public:
    CDC() = default;
    // Deletes a context that this object created or was given.
    ~CDC() override;

    HDC m_hDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL Attach(HDC hDC);
    HDC Detach();

    // Returns the bitmap that was selected before, as a framework wrapper.
    CBitmap* SelectObject(CBitmap* pBitmap);

    COLORREF SetBkColor(COLORREF crColor);
    COLORREF GetBkColor() const;
    COLORREF SetTextColor(COLORREF crColor);
    COLORREF GetTextColor() const;

    // Leaves the background colour set to clr.
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    BOOL MaskBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 CBitmap& maskBitmap, int xMask, int yMask, DWORD dwRop);
    BOOL DrawIcon(int x, int y, HICON hIcon);
};
