// CWinApp: the application object; the framework's entry point finds the
// one instance and calls its InitInstance.
#pragma once
#include "WinThread.h"
#include <exception>
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
    // the main window's last active popup (a box the window shows, say).
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // Called with what a handler of pMsg let out of the window procedure
    // (null for what is no std::exception): tells the user and returns the
    // window procedure's result, and the window goes on.
    virtual LRESULT ProcessWndProcException(const std::exception* e, const MSG* pMsg);

    // The standard help command. The program ships no help file, so there is
    // nothing to open.
    void OnHelp();

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

protected:
    // What the window procedure returns for pMsg whose handler failed: -1
    // refuses a window's creation; a paint is marked done, so that it does
    // not come back at once; anything else 0.
    static LRESULT FailedMessageResult(const MSG* pMsg);

private:
    std::wstring m_strAppName;
};
