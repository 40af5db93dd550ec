// Records the live-region events of this process as a screen reader hooked
// from outside hears them (SetWinEventHook, out of context: they arrive
// after the fact, on this thread, so the text is the one the control shows
// by then).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CWinEventLog
{
public:
    CWinEventLog();
    ~CWinEventLog();
    CWinEventLog(const CWinEventLog&) = delete;
    CWinEventLog& operator=(const CWinEventLog&) = delete;

    bool IsInstalled() const { return m_hHook != nullptr; }
    // "<control id> <text>" of each event so far; delivers those waiting for
    // this thread first.
    std::vector<std::wstring> Announced();

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hHook, DWORD dwEvent, HWND hWnd, LONG idObject, LONG idChild,
                                 DWORD dwThread, DWORD dwTime);

    HWINEVENTHOOK m_hHook = nullptr;
    std::vector<std::wstring> m_arrAnnounced;
};

// The name assistive technology reads for the window (IAccessible::get_accName).
std::wstring AccessibleName(HWND hWnd);
