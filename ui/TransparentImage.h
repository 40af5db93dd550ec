// CTransparentImage: a picture control that draws its bitmap with every
// pure white pixel left transparent, so the picture stands on the window's
// own background.
#pragma once
#include "framework/afxwin.h"

class CTransparentImage : public CStatic
{
    DECLARE_DYNAMIC(CTransparentImage)
public:
    CTransparentImage() = default;
    ~CTransparentImage() override = default;

    DECLARE_MESSAGE_MAP()

protected:
    void OnPaint();
};
