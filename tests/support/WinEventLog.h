// Records the live-region events of this process as a screen reader hooked
// from outside sees them (SetWinEventHook, out of context: they arrive
// after the fact, so the text is the one the control shows by then), and
// each move of the focus in a thread's windows with the visibility of the
// window that takes it (WM_SETFOCUS, seen as it happens).
#pragma once
#include <windows.h>
#include <mutex>
#include <string>
#include <vector>

struct CWinEvent
{
    DWORD dwEvent;  // EVENT_OBJECT_LIVEREGIONCHANGED or EVENT_OBJECT_FOCUS
    int nID;
    bool bVisible;
    std::wstring strText;
};

class CWinEventLog
{
public:
    CWinEventLog();
    ~CWinEventLog();
    CWinEventLog(const CWinEventLog&) = delete;
    CWinEventLog& operator=(const CWinEventLog&) = delete;

    bool IsInstalled() const { return m_hHook != nullptr; }
    // Watches the focus in the windows of dwThreadId.
    bool WatchFocus(DWORD dwThreadId);
    // The events so far; delivers those waiting for this thread first.
    std::vector<CWinEvent> Events();

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hHook, DWORD dwEvent, HWND hWnd, LONG idObject, LONG idChild,
                                 DWORD dwThread, DWORD dwTime);

    static LRESULT CALLBACK OnMessage(int nCode, WPARAM wParam, LPARAM lParam);
    void Record(DWORD dwEvent, HWND hWnd);

    HWINEVENTHOOK m_hHook = nullptr;
    HHOOK m_hFocusHook = nullptr;
    std::mutex m_mutex;
    std::vector<CWinEvent> m_arrEvents;
};

// The name assistive technology reads for the window (IAccessible::get_accName).
std::wstring AccessibleName(HWND hWnd);
