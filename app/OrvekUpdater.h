// COrvekUpdaterApp: the application object; its whole life is one modal run
// of the updater window.
#pragma once
#include "framework/afxwin.h"

class COrvekUpdaterApp : public CWinAppEx
{
public:
    COrvekUpdaterApp() = default;
    ~COrvekUpdaterApp() override = default;

    DECLARE_MESSAGE_MAP()

public:
    BOOL InitInstance() override;
};

extern COrvekUpdaterApp theApp;
