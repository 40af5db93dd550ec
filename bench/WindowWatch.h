// Watching another process's windows from outside, as the benchmark driver
// does with the updater: finding them and reading their controls.
#pragma once
#include <windows.h>
#include <string>

// A top-level window of the process with this title (any, if null) and
// window class (any, if null), other than hExcept; null if none.
HWND FindProcessWindow(DWORD dwProcessId, const wchar_t* pszTitle, const wchar_t* pszClass = nullptr,
                       HWND hExcept = nullptr);

// The text of a dialog's control.
std::wstring ControlText(HWND hDialog, int nId);

// The window is up and shows its first state: visible, with the status
// line arranged when it has one.
bool IsShownInState(HWND hWnd);

// The updater's status line is visible and reads pszText.
bool ShowsStatus(HWND hDialog, const wchar_t* pszText);
