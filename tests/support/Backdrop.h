// A plain top-level window that paints its client area in one known colour
// and gives its static controls a brush of another, for the picture tests.
#pragma once
#include <windows.h>
#include "support/Wait.h"

class CBackdrop
{
public:
    CBackdrop(COLORREF crBackground, COLORREF crStatic);
    ~CBackdrop();
    CBackdrop(const CBackdrop&) = delete;
    CBackdrop& operator=(const CBackdrop&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // A child static control of the window at (x, y) in client coordinates.
    HWND AddStatic(DWORD dwStyle, LPCWSTR lpszText, int x, int y, int nWidth, int nHeight, int nID);

    // Erases and repaints the window and all its children at once.
    void Redraw();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HBRUSH m_hbrBackground = nullptr;
    HBRUSH m_hbrStatic = nullptr;
};

// The rectangle of a child window in its parent's client coordinates.
RECT ChildRect(HWND hChild);
