#include "support/WindowRun.h"
#include "device/FirmwareTransfer.h"
#include <commctrl.h>
#include "app/Notifications.h"
#include "app/OrvekUpdater.h"
#include "support/Controls.h"
#include "support/Press.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include "resource.h"
#include "support/WindowUnderTest.h"

const int g_arrControlIds[7] = { IDC_PICTURE,         IDOK,           IDC_PROGRESS_DOWNLOAD, IDC_PROGRESS_UPDATE,
                                 IDC_STATIC_DOWNLOAD, IDC_STATIC_UPDATE, IDC_STATIC_STATUS };

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
    WaitFor(
        [this] {
            if (::WaitForSingleObject(m_hEnded, 0) == WAIT_OBJECT_0)
                return true;
            for (HWND hBox : OwnedBoxes())
                PressButton(hBox, IDYES);
            return false;
        },
        10000, 20);
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
        // As the program's: the workers' boxes are owned by the window.
        theApp.m_pMainWnd = &dlg;
        m_nResult = dlg.DoModal();
        theApp.m_pMainWnd = nullptr;
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
    // Each window stands for a program of its own: a Yes to an earlier
    // window's question stopped that program's transfers only.
    g_lTransferStopped = FALSE;
    m_dwThreadId = g_dwWindowThreadId;
    g_pRequested = this;
    ::SetEvent(g_hRequest);
    WaitFor(
        [this] {
            m_hWnd = FindTopWindow(ShownDialogs(m_dwThreadId));
            return m_hWnd != nullptr || ::WaitForSingleObject(m_hEnded, 0) == WAIT_OBJECT_0;
        },
        10000, 10);
    return m_hWnd != nullptr && m_bLogInstalled;
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
    const LPARAM lToken = SetWorker(bDownload ? WORKER_DOWNLOAD : WORKER_TRANSFER);
    ::SendMessageW(m_hWnd, message, wParam, lToken);
}

LPARAM CWindowRun::SetWorker(int nWorker) const
{
    static LONG s_nTokens = 0;
    const LPARAM lToken = 0x7E570000 + ::InterlockedIncrement(&s_nTokens);
    ::SendMessageW(m_hWnd, WM_TEST_SET_WORKER, static_cast<WPARAM>(nWorker), lToken);
    return lToken;
}

EXECUTION_STATE CWindowRun::ExecutionState() const
{
    return static_cast<EXECUTION_STATE>(::SendMessageW(m_hWnd, WM_TEST_GET_EXECUTION_STATE, 0, 0));
}

std::vector<HWND> CWindowRun::OwnedBoxes() const
{
    return FindTopWindows(ShownDialogs(m_dwThreadId, m_hWnd));
}

HWND CWindowRun::WaitForOwnedBox(DWORD dwTimeoutMs) const
{
    HWND hBox = nullptr;
    WaitFor([&] { return (hBox = FindTopWindow(ShownDialogs(m_dwThreadId, m_hWnd))) != nullptr; }, dwTimeoutMs, 10);
    return hBox;
}

std::wstring CWindowRun::Text(int nID) const
{
    return ReadControlText(m_hWnd, nID);
}

std::vector<int> CWindowRun::ShownControls() const
{
    std::vector<int> arrShown;
    for (int nID : g_arrControlIds)
    {
        if (IsControlShown(m_hWnd, nID))
            arrShown.push_back(nID);
    }
    return arrShown;
}

int CWindowRun::Position(int nID) const
{
    return ReadBarPos(m_hWnd, nID);
}

RECT CWindowRun::ControlRect(int nID) const
{
    return ::ControlRect(m_hWnd, nID);
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
    return WaitFor([&] { return State() == nState; }, dwTimeoutMs, 20);
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
