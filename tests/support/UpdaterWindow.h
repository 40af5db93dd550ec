// The updater window driven from outside as a user would: it is watched by
// polling, every distinct view is kept in order, and it is used through
// its button, the keyboard, its close box and its message boxes.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "support/ChildProcess.h"
#include "support/WindowView.h"
#include "support/WineQuirks.h"

class CUpdaterWindow
{
public:
    // A dialog titled "Orvek Updater" with the status line (a message box of
    // the program has the same title but no status line).
    static bool IsUpdaterWindow(HWND hWnd);
    // The first updater window on the desktop, of any process; null if none.
    static HWND FindAnyUpdaterWindow();

    explicit CUpdaterWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Handle() const { return m_hWnd; }

    // Polls until bMet holds for the current view or dwTimeoutMs has passed;
    // every view seen on the way goes into the history.
    bool WaitUntil(const std::function<bool(const CWindowView&)>& bMet, DWORD dwTimeoutMs);
    bool WaitForView(const CWindowView& expected, DWORD dwTimeoutMs);
    // True if the view stays exactly as expected for dwMs.
    bool Holds(const CWindowView& expected, DWORD dwMs);
    // The view last read (blank before the first read).
    const CWindowView& Current() const { return m_current; }
    // Every distinct view read since the last ClearHistory, oldest first.
    const std::vector<CWindowView>& History() const { return m_arrHistory; }
    void ClearHistory() { m_arrHistory.clear(); }
    std::string DescribeHistory() const;

    // The button clicked with the mouse (BM_CLICK).
    void ClickButton();
    // A key pressed and released on the control that has the focus.
    void PressKey(UINT nVirtualKey);
    // The close box.
    void Close();

    // A message box owned by the window, or null.
    HWND FindMessageBox() const;
    // Waits for a message box owned by the window; its text in strText.
    HWND WaitForMessageBox(DWORD dwTimeoutMs, std::wstring& strText);
    // Waits for a visible dialog of that title owned by the window (one of
    // the platform's, say); null if none came.
    HWND WaitForOwnedDialog(const wchar_t* pszTitle, DWORD dwTimeoutMs);

    // The window's answer when Windows asks whether the session may end
    // (a log-off); -1 when it does not answer.
    LRESULT QueryEndSession() const;

    bool IsGone() const { return !::IsWindow(m_hWnd); }
    bool WaitUntilGone(DWORD dwTimeoutMs) const;

private:
    bool Poll();
    // Calls bMet until it holds or dwTimeoutMs has passed, at the pace Poll
    // and the user's actions set.
    bool PollUntil(const std::function<bool()>& bMet, DWORD dwTimeoutMs);
    // Waits for a visible dialog of that title owned by the window.
    HWND WaitForOwned(const wchar_t* pszTitle, bool bMessageBox, DWORD dwTimeoutMs);

    HWND m_hWnd;
    DWORD m_dwPollMs = 2;
    CWindowView m_current;
    std::vector<CWindowView> m_arrHistory;
};

// Starts the shipped updater, unmodified, with this program's environment
// (device stand-in folder, proxy, DLL override) and none of its handles:
// OrvekUpdater.exe of this program's folder, or the copy strExeName in
// strFolder (ending in a backslash) from that folder, as a user's double
// click would.
bool StartUpdaterProcess(CChildProcess& process, const std::string& strFolder = std::string(),
                         const std::string& strExeName = "OrvekUpdater.exe");
// The process's updater window once it shows one; null when the process
// ended first or dwTimeoutMs passed.
HWND WaitForUpdaterWindow(const CChildProcess& process, DWORD dwTimeoutMs);
