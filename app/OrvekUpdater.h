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
    // Tells the user in the program's own words; one box at a time.
    LRESULT ProcessWndProcException(const std::exception* e, const MSG* pMsg) override;

private:
    // Held for the program's life: the mark that an updater runs.
    HANDLE m_hUpdaterMutex = nullptr;
    // The box for a failed handler is up: a handler that fails again under
    // it (the poll's, each tick) adds no second one.
    bool m_bReportingFailure = false;
};

extern COrvekUpdaterApp theApp;
