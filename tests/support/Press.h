// Pressing a button or a key of another window as the user would, by
// messages to the window or as real input through the system's queue.
#pragma once
#include <windows.h>

// Clicks the dialog's button nButtonId (BM_CLICK; a box's buttons have the
// ids of the answers they give); false if it has no such button.
bool PressButton(HWND hDialog, int nButtonId);
// A key pressed and released on the control that has the focus in hWnd's
// thread, or on hWnd when none has.
void PressKey(HWND hWnd, UINT nVirtualKey);

// Real input, to whichever window has the foreground: the key pressed and
// released, with Alt held when bAlt; a left click at a screen point.
void SendKey(WORD wKey, bool bAlt = false);
void ClickAt(POINT pt);
// A screen point over the window's close box, searched along the caption.
bool FindCloseBox(HWND hWnd, POINT* pPoint);
