// COrvekUpdaterApp: the application object; its whole life is one modal run
// of the updater window, and only one such run goes on at a time.
#pragma once
#include "framework/afxwin.h"

class COrvekUpdaterApp : public CWinAppEx
{
public:
    COrvekUpdaterApp() = default;
    ~COrvekUpdaterApp() override;

    DECLARE_MESSAGE_MAP()

public:
    BOOL InitInstance() override;
    // The framework's box, read right to left where the texts are.
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;

private:
    // Held for the program's life: the mark that an updater runs.
    HANDLE m_hUpdaterMutex = nullptr;
};

extern COrvekUpdaterApp theApp;
