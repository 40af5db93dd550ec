// What the tests do differently because they run under Wine, in one place,
// each with the reason, so that a test reads as the behaviour it checks.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// Presses the box's button nButtonId and waits for the box to go; false if
// it has no such button or stays up. Under load Wine now and then drops a
// click that reaches a box in its first moments, so a box still up a few
// seconds later is clicked again.
bool DismissBox(HWND hBox, int nButtonId = IDOK);

// Runs start, which returns its error (ERROR_SUCCESS when it started), until
// it starts or fails otherwise; its last error. Under load Wine now and then
// fails a process start with ERROR_INTERNAL_ERROR (the new process missed
// its start-up hand-shake); a second start works.
DWORD StartRetried(const std::function<DWORD()>& start);

// Minimises another process's window; false if it is not minimised within
// dwTimeoutMs. Wine does it a moment later, and now and then drops the
// request when the window has only just been shown, so it is asked again
// every half second.
bool MinimizeWindow(HWND hWnd, DWORD dwTimeoutMs);

// Wine's load order for one DLL in the processes of one exe name, while the
// object lives. Set in Wine's registry, since Wine takes WINEDLLOVERRIDES
// from the Unix environment, which a test cannot change for its child.
class CLoadOrder
{
public:
    CLoadOrder(const char* pszExeName, const char* pszDll, const char* pszOrder);
    ~CLoadOrder();
    CLoadOrder(const CLoadOrder&) = delete;
    CLoadOrder& operator=(const CLoadOrder&) = delete;

    bool IsSet() const { return m_bSet; }

private:
    std::string m_strAppKey;
    std::string m_strKey;
    const char* m_pszDll;
    HKEY m_hKey = nullptr;
    bool m_bSet = false;
};
