// CButton: a push button; what the program does with one is CWnd's.
#pragma once
#include "Wnd.h"

class CButton : public CWnd
{
public:
    CButton() = default;
    ~CButton() override = default;
};
