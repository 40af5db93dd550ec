// CWinAppEx: the extended application class. The program uses none of its
// extensions (visual managers, stored workspace state), so it adds nothing.
#pragma once
#include "WinApp.h"

class CWinAppEx : public CWinApp
{
public:
    explicit CWinAppEx(BOOL /*bResourceSmartUpdate*/ = FALSE) {}
    ~CWinAppEx() override = default;
};
