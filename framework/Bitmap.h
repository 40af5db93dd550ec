// CBitmap: a bitmap drawing object.
#pragma once
#include "GdiObject.h"

class CDC;

class CBitmap : public CGdiObject
{
public:
    CBitmap() = default;
    ~CBitmap() override = default;

    // A wrapper that does not own the handle, kept by the framework for the
    // life of the thread; callers never delete it.
    static CBitmap* FromHandle(HBITMAP hBitmap);

    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitMap) const;
};
