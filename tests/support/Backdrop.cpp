// A plain window of known colours for the picture tests.
#include "support/Backdrop.h"

namespace
{
const wchar_t kClassName[] = L"OrvekPictureBackdrop";
}

CBackdrop::CBackdrop(COLORREF crBackground, COLORREF crStatic)
    : m_hbrBackground(::CreateSolidBrush(crBackground)), m_hbrStatic(::CreateSolidBrush(crStatic))
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, kClassName, L"Picture backdrop", WS_POPUP | WS_VISIBLE, 0, 0, 480, 260,
                               nullptr, nullptr, wc.hInstance, this);
    PumpMessages();
}

CBackdrop::~CBackdrop()
{
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
    PumpMessages();
    ::DeleteObject(m_hbrStatic);
    ::DeleteObject(m_hbrBackground);
}

HWND CBackdrop::AddStatic(DWORD dwStyle, LPCWSTR lpszText, int x, int y, int nWidth, int nHeight, int nID)
{
    return ::CreateWindowExW(0, L"Static", lpszText, WS_CHILD | WS_VISIBLE | dwStyle, x, y, nWidth, nHeight,
                             m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nID)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

void CBackdrop::Redraw()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
}

LRESULT CALLBACK CBackdrop::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        const CREATESTRUCTW* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    CBackdrop* pThis = reinterpret_cast<CBackdrop*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis != nullptr)
    {
        switch (message)
        {
        case WM_ERASEBKGND:
        {
            RECT rect;
            ::GetClientRect(hWnd, &rect);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rect, pThis->m_hbrBackground);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(pThis->m_hbrStatic);
        case WM_NCDESTROY:
            pThis->m_hWnd = nullptr;
            break;
        default:
            break;
        }
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

RECT ChildRect(HWND hChild)
{
    RECT rect;
    ::GetWindowRect(hChild, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(hChild), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
