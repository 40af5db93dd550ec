// CWnd: attaching objects to windows and dispatching their messages.
#include "Wnd.h"
#include "DataExchange.h"
#include "Globals.h"
#include "WinApp.h"
#include <memory>
#include <unordered_map>

namespace
{
const wchar_t kWndProperty[] = L"OrvekFramework.CWnd";

// Wrappers for windows that have no object of their own, one per window,
// kept for the life of the thread (as with the framework's temporary maps,
// callers never delete them).
std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryWindows()
{
    thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> s_map;
    return s_map;
}
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    return static_cast<CWnd*>(::GetPropW(hWnd, kWndProperty));
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    std::unique_ptr<CWnd>& pTemporary = TemporaryWindows()[hWnd];
    if (!pTemporary)
        pTemporary = std::make_unique<CWnd>();
    pTemporary->m_hWnd = hWnd;
    return pTemporary.get();
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    if (!::SetPropW(hWnd, kWndProperty, this))
        return FALSE;
    m_hWnd = hWnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    ::RemovePropW(hWnd, kWndProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    const CurrentMessage previous = pWnd->m_currentMsg;
    pWnd->m_currentMsg = { message, wParam, lParam };
    const MSG msg = { hWnd, message, wParam, lParam, 0, { 0, 0 } };
    const LRESULT lResult = AfxCallHandler(msg, [&] { return pWnd->WindowProc(message, wParam, lParam); });
    pWnd->m_currentMsg = previous;

    if (message == WM_NCDESTROY)
    {
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
    }
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }

    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(message);
    if (pEntry == nullptr)
        return FALSE;

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif
    switch (pEntry->nSig)
    {
    case AfxSig_vv:
        (this->*reinterpret_cast<void (CWnd::*)()>(pEntry->pfn))();
        *pResult = 0;
        break;
    case AfxSig_hv:
        *pResult = reinterpret_cast<LRESULT>(
            (this->*reinterpret_cast<HCURSOR (CWnd::*)()>(pEntry->pfn))());
        break;
    case AfxSig_bv:
        *pResult = (this->*reinterpret_cast<BOOL (CWnd::*)()>(pEntry->pfn))();
        break;
    case AfxSig_vp:
        (this->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(pEntry->pfn))(wParam);
        *pResult = 0;
        break;
    case AfxSig_lwl:
        *pResult = (this->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pEntry->pfn))(
            wParam, lParam);
        break;
    default:
        return FALSE;
    }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

void CWnd::PostNcDestroy()
{
}

void CWnd::OnPaint()
{
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

void CWnd::OnTimer(UINT_PTR /*nIDEvent*/)
{
    Default();
}

BOOL CWnd::OnQueryEndSession()
{
    return static_cast<BOOL>(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::SetWindowText(LPCWSTR lpszString)
{
    ::SetWindowTextW(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int nLength = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(nLength + 1), nLength + 1);
    rString.ReleaseBuffer();
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const DWORD dwStyle = GetStyle();
    HWND hWndCenter = pAlternateOwner != nullptr ? pAlternateOwner->GetSafeHwnd()
                      : (dwStyle & WS_CHILD) != 0 ? ::GetParent(m_hWnd)
                                                  : ::GetWindow(m_hWnd, GW_OWNER);

    RECT rectDlg;
    GetWindowRect(&rectDlg);
    RECT rectArea;
    RECT rectCenter;
    if ((dwStyle & WS_CHILD) != 0)
    {
        if (hWndCenter == nullptr)
            return;
        ::GetClientRect(hWndCenter, &rectArea);
        rectCenter = rectArea;
        ::MapWindowPoints(hWndCenter, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rectCenter), 2);
    }
    else
    {
        if (hWndCenter != nullptr && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter)))
            hWndCenter = nullptr;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(hWndCenter != nullptr ? hWndCenter : m_hWnd,
                                              MONITOR_DEFAULTTONEAREST),
                          &monitor);
        rectArea = monitor.rcWork;
        if (hWndCenter != nullptr)
            ::GetWindowRect(hWndCenter, &rectCenter);
        else
            rectCenter = rectArea;
    }

    const int cxDlg = rectDlg.right - rectDlg.left;
    const int cyDlg = rectDlg.bottom - rectDlg.top;
    int xLeft = (rectCenter.left + rectCenter.right) / 2 - cxDlg / 2;
    int yTop = (rectCenter.top + rectCenter.bottom) / 2 - cyDlg / 2;
    if (xLeft + cxDlg > rectArea.right)
        xLeft = rectArea.right - cxDlg;
    if (xLeft < rectArea.left)
        xLeft = rectArea.left;
    if (yTop + cyDlg > rectArea.bottom)
        yTop = rectArea.bottom - cyDlg;
    if (yTop < rectArea.top)
        yTop = rectArea.top;
    ::SetWindowPos(m_hWnd, nullptr, xLeft, yTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::ValidateRect(LPCRECT lpRect)
{
    ::ValidateRect(m_hWnd, lpRect);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse,
                        void (CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD))
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(hIcon)));
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr && AfxGetApp() != nullptr)
        lpszCaption = AfxGetApp()->m_pszAppName;
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange* /*pDX*/)
{
}
