#include "ui/WindowRun.h"
#include <commctrl.h>
#include "app/Notifications.h"
#include "e2e/UpdaterWindow.h"
#include "resource.h"
#include "ui/WindowUnderTest.h"

const int g_arrControlIds[7] = { IDC_PICTURE,         IDOK,           IDC_PROGRESS_DOWNLOAD, IDC_PROGRESS_UPDATE,
                                 IDC_STATIC_DOWNLOAD, IDC_STATIC_UPDATE, IDC_STATIC_STATUS };

namespace
{
bool IsShownDialog(HWND hWnd)
{
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, 16);
    return wcscmp(szClass, L"#32770") == 0 && ::IsWindowVisible(hWnd);
}

BOOL CALLBACK FindShownDialog(HWND hWnd, LPARAM lParam)
{
    if (!IsShownDialog(hWnd))
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

struct SOwnedBoxes
{
    HWND m_hOwner;
    std::vector<HWND> m_arrBoxes;
};

BOOL CALLBACK CollectOwnedBox(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<SOwnedBoxes*>(lParam);
    if (IsShownDialog(hWnd) && ::GetWindow(hWnd, GW_OWNER) == pSearch->m_hOwner)
        pSearch->m_arrBoxes.push_back(hWnd);
    return TRUE;
}
}

namespace
{
HANDLE g_hWindowThread = nullptr;
DWORD g_dwWindowThreadId = 0;
HANDLE g_hRequest = nullptr;
CWindowRun* g_pRequested = nullptr;
}

CWindowRun::~CWindowRun()
{
    if (m_hEnded == nullptr)
        return;
    if (::IsWindow(m_hWnd))
        ::PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
    const DWORD dwStart = ::GetTickCount();
    while (::WaitForSingleObject(m_hEnded, 20) == WAIT_TIMEOUT && ::GetTickCount() - dwStart < 10000)
    {
        for (HWND hBox : OwnedBoxes())
            CUpdaterWindow::DismissMessageBox(hBox, IDYES);
    }
    ::CloseHandle(m_hEnded);
}

DWORD WINAPI CWindowRun::ThreadProc(LPVOID /*pParam*/)
{
    for (;;)
    {
        ::WaitForSingleObject(g_hRequest, INFINITE);
        g_pRequested->Run();
    }
}

void CWindowRun::Run()
{
    m_bLogInstalled = m_log.Install();
    {
        CWindowUnderTest dlg;
        m_nResult = dlg.DoModal();
    }
    m_log.Remove();
    ::SetEvent(m_hEnded);
}

bool CWindowRun::Open()
{
    if (g_hWindowThread == nullptr)
    {
        INITCOMMONCONTROLSEX initControls = { sizeof(initControls), ICC_WIN95_CLASSES };
        ::InitCommonControlsEx(&initControls);
        g_hRequest = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        g_hWindowThread = ::CreateThread(nullptr, 0, &CWindowRun::ThreadProc, nullptr, 0, &g_dwWindowThreadId);
        if (g_hRequest == nullptr || g_hWindowThread == nullptr)
            return false;
    }
    m_hEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_hEnded == nullptr)
        return false;
    m_dwThreadId = g_dwWindowThreadId;
    g_pRequested = this;
    ::SetEvent(g_hRequest);
    for (int i = 0; i < 1000; ++i)
    {
        HWND hFound = nullptr;
        ::EnumThreadWindows(m_dwThreadId, FindShownDialog, reinterpret_cast<LPARAM>(&hFound));
        if (hFound != nullptr)
        {
            m_hWnd = hFound;
            return m_bLogInstalled;
        }
        if (::WaitForSingleObject(m_hEnded, 10) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

int CWindowRun::State() const
{
    return static_cast<int>(::SendMessageW(m_hWnd, WM_TEST_GET_STATE, 0, 0));
}

void CWindowRun::SetState(int nState) const
{
    ::SendMessageW(m_hWnd, WM_TEST_SET_STATE, static_cast<WPARAM>(nState), 0);
}

void CWindowRun::Notify(UINT message, WPARAM wParam) const
{
    const bool bDownload =
        message == UWM_DOWNLOAD_BEGIN || message == UWM_DOWNLOAD_PROGRESS || message == UWM_DOWNLOAD_COMPLETE;
    SetWorker(bDownload ? WORKER_DOWNLOAD : WORKER_TRANSFER);
    ::SendMessageW(m_hWnd, message, wParam, 0);
}

void CWindowRun::SetWorker(int nWorker) const
{
    ::SendMessageW(m_hWnd, WM_TEST_SET_WORKER, static_cast<WPARAM>(nWorker), 0);
}

EXECUTION_STATE CWindowRun::ExecutionState() const
{
    return static_cast<EXECUTION_STATE>(::SendMessageW(m_hWnd, WM_TEST_GET_EXECUTION_STATE, 0, 0));
}

std::vector<HWND> CWindowRun::OwnedBoxes() const
{
    SOwnedBoxes search = { m_hWnd, {} };
    ::EnumThreadWindows(m_dwThreadId, CollectOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.m_arrBoxes;
}

HWND CWindowRun::WaitForOwnedBox(DWORD dwTimeoutMs) const
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        const std::vector<HWND> arrBoxes = OwnedBoxes();
        if (!arrBoxes.empty())
            return arrBoxes.front();
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return nullptr;
        ::Sleep(10);
    }
}

std::wstring CWindowRun::Text(int nID) const
{
    wchar_t szText[256] = {};
    ::GetWindowTextW(Control(nID), szText, 256);
    return szText;
}

bool CWindowRun::IsShown(int nID) const
{
    return (::GetWindowLongW(Control(nID), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<int> CWindowRun::ShownControls() const
{
    std::vector<int> arrShown;
    for (int nID : g_arrControlIds)
    {
        if (IsShown(nID))
            arrShown.push_back(nID);
    }
    return arrShown;
}

int CWindowRun::Position(int nID) const
{
    return static_cast<int>(::SendMessageW(Control(nID), PBM_GETPOS, 0, 0));
}

RECT CWindowRun::ControlRect(int nID) const
{
    RECT rect = {};
    ::GetWindowRect(Control(nID), &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT CWindowRun::TemplateRect(int x, int y, int nWidth, int nHeight) const
{
    // As the dialog manager places a control: its size is mapped apart from its corner.
    RECT rect = { x, y, nWidth, nHeight };
    ::MapDialogRect(m_hWnd, &rect);
    return { rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom };
}

bool CWindowRun::WaitForState(int nState, DWORD dwTimeoutMs) const
{
    const DWORD dwStart = ::GetTickCount();
    while (State() != nState)
    {
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
}

bool CWindowRun::WaitForEnd(DWORD dwTimeoutMs)
{
    return m_hEnded != nullptr && ::WaitForSingleObject(m_hEnded, dwTimeoutMs) == WAIT_OBJECT_0;
}

HWND CWindowRun::Focus() const
{
    State();
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(m_dwThreadId, &info) ? info.hwndFocus : nullptr;
}

std::string DescribeRect(const RECT& rect)
{
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ")-(" + std::to_string(rect.right) +
           ", " + std::to_string(rect.bottom) + ")";
}

SIZE ShownBitmapSize(HWND hControl)
{
    BITMAP bitmap = {};
    ::GetObjectW(reinterpret_cast<HBITMAP>(::SendMessageW(hControl, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof(bitmap),
                 &bitmap);
    return { bitmap.bmWidth, bitmap.bmHeight };
}

int SmallIconWidth(HWND hWnd)
{
    ICONINFO info = {};
    if (!::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(hWnd, WM_GETICON, ICON_SMALL, 0)), &info))
        return 0;
    BITMAP bitmap = {};
    ::GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        ::DeleteObject(info.hbmColor);
    return bitmap.bmWidth;
}
