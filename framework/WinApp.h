// CWinApp: the application object; the framework's entry point finds the
// one instance and calls its InitInstance.
#pragma once
#include "WinThread.h"
#include <string>

class CWinApp : public CWinThread
{
public:
    // Without a name, the application's name is the string resource
    // AFX_IDS_APP_TITLE, else the program file's base name.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The application's message box: caption the application's name, owner
    // the main window.
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // The standard help command. The program ships no help file, so there is
    // nothing to open.
    void OnHelp();

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    std::wstring m_strAppName;
};
