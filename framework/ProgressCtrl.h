// CProgressCtrl: a progress bar of the common controls.
#pragma once
#include "Wnd.h"

class CProgressCtrl : public CWnd
{
public:
    CProgressCtrl() = default;
    ~CProgressCtrl() override = default;

    // Returns the previous position.
    int SetPos(int nPos);
    int GetPos() const;
    void SetRange(short nLower, short nUpper);
};
