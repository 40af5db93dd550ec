// CTransparentImage: a picture control that draws its bitmap with every
// pure white pixel left transparent, so the picture stands on the window's
// own background.
#pragma once
#include "framework/afxwin.h"

// The MaskBlt that OnPaint draws with. Nothing under Wine makes the real one
// fail, so tests point this at a failing function to reach the fallback.
using MaskBltFunction = BOOL (WINAPI*)(HDC hdcDest, int xDest, int yDest, int width, int height,
                                        HDC hdcSrc, int xSrc, int ySrc, HBITMAP hbmMask,
                                        int xMask, int yMask, DWORD rop);
extern MaskBltFunction g_pfnMaskBlt;

class CTransparentImage : public CStatic
{
    DECLARE_DYNAMIC(CTransparentImage)
public:
    CTransparentImage() = default;
    ~CTransparentImage() override = default;

    // The text the control gives when asked for its own (WM_GETTEXT), which
    // screen readers speak as its name: what the picture shows. The
    // platform's static control holds the bitmap's resource number there.
    void SetAltText(LPCWSTR pszAltText) { m_strAltText = pszAltText; }

    DECLARE_MESSAGE_MAP()

protected:
    void OnPaint();
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);

    CString m_strAltText;
};
