// CPaintDC: the context of one WM_PAINT, from BeginPaint to EndPaint.
#pragma once
#include "DC.h"

class CWnd;

class CPaintDC : public CDC
{
public:
    // m_hDC stays null when painting could not begin.
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
