// Pressing a button or a key of another window as the user would.
#pragma once
#include <windows.h>

// Clicks the dialog's button nButtonId (BM_CLICK; a box's buttons have the
// ids of the answers they give); false if it has no such button.
bool PressButton(HWND hDialog, int nButtonId);
// A key pressed and released on the control that has the focus in hWnd's
// thread, or on hWnd when none has.
void PressKey(HWND hWnd, UINT nVirtualKey);
