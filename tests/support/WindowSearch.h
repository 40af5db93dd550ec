// Finding a top-level window: the updater's, a dialog or a message box, by
// owner, process, thread, title or a test of the caller's.
#pragma once
#include <windows.h>
#include <vector>

// The class of dialogs and message boxes.
constexpr wchar_t DIALOG_CLASS[] = L"#32770";
// The control holding a message box's text.
constexpr int MESSAGE_TEXT_ID = 0xFFFF;

// What a window must be to match; a field left as it is matches any window.
struct CWindowSearch
{
    const wchar_t* m_pszClass = DIALOG_CLASS;
    const wchar_t* m_pszTitle = nullptr;
    HWND m_hOwner = nullptr;
    DWORD m_dwProcessId = 0;
    // Only this thread's windows are looked at.
    DWORD m_dwThreadId = 0;
    bool m_bVisible = false;
    // Only windows with a message box's text.
    bool m_bMessageBox = false;
    bool (*m_pfnMatch)(HWND) = nullptr;
};

// The visible dialogs of a thread (of any with 0); with hOwner those it owns.
CWindowSearch ShownDialogs(DWORD dwThreadId, HWND hOwner = nullptr);

bool IsMatch(HWND hWnd, const CWindowSearch& search);
// The first match, or null.
HWND FindTopWindow(const CWindowSearch& search);
// Every match, in the system's order.
std::vector<HWND> FindTopWindows(const CWindowSearch& search);
// A top-level window of that process, of any class: with bVisible a visible
// one, with pfnMatch one that passes it; null if none.
HWND FindProcessWindow(DWORD dwProcessId, bool bVisible, bool (*pfnMatch)(HWND) = nullptr);
