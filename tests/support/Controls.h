// Reading a window's controls: texts, visibility, bar positions, places.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Plain text for failure messages (the window's texts are ASCII).
std::string Narrow(const std::wstring& str);

std::wstring TextOf(HWND hWnd);
std::wstring ReadControlText(HWND hDialog, int nId);
// The progress bar's position; -1 when the window does not answer.
int ReadBarPos(HWND hDialog, int nId);
// The control's own visibility, whatever its parent's.
bool IsControlShown(HWND hDialog, int nId);
// The control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND hDialog, int nId);
// The child windows of that class, in their order; with bVisibleOnly the
// visible ones only.
std::vector<HWND> ChildrenOfClass(HWND hParent, const wchar_t* pszClass, bool bVisibleOnly);
