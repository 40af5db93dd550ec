// Runs the updater window modally on the window thread, as the program's
// main thread does, while a test on its own thread drives it with sent
// messages, as the workers do, and reads its controls. One window thread
// serves every window of the test program and lives as long as the program:
// a thread that ends after using the framework's per-thread window maps left
// later calls of the process hanging under Wine.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "support/WindowMessageLog.h"

class CWindowRun
{
public:
    CWindowRun() = default;
    // Ends a window still open (IDCANCEL, and Yes to a question) and waits
    // for its modal run.
    ~CWindowRun();
    CWindowRun(const CWindowRun&) = delete;
    CWindowRun& operator=(const CWindowRun&) = delete;

    // Opens the window; true once it is on the screen.
    bool Open();

    HWND Window() const { return m_hWnd; }
    HWND Control(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    const CWindowMessageLog& Log() const { return m_log; }

    int State() const;
    // SetState of the window itself, on its thread.
    void SetState(int nState) const;
    // Sends one of the workers' notifications as the worker that sends it
    // does: that worker, with a new token, counts as the window's running one.
    void Notify(UINT message, WPARAM wParam = 0) const;
    // The worker the window counts as running (WORKER_...), with a new
    // token, which it returns.
    LPARAM SetWorker(int nWorker) const;
    EXECUTION_STATE ExecutionState() const;

    // The visible message boxes the window owns.
    std::vector<HWND> OwnedBoxes() const;
    // Waits for one; null after dwTimeoutMs.
    HWND WaitForOwnedBox(DWORD dwTimeoutMs) const;

    std::wstring Text(int nID) const;
    // The ids of the shown controls, in the template's order.
    std::vector<int> ShownControls() const;
    int Position(int nID) const;
    // The control's rectangle in the window's client coordinates.
    RECT ControlRect(int nID) const;
    // A rectangle of the template, in dialog units, in the window's pixels.
    RECT TemplateRect(int x, int y, int nWidth, int nHeight) const;
    // The control with the keyboard focus in the window's thread.
    HWND Focus() const;

    // Waits until the window is in nState; false after dwTimeoutMs.
    bool WaitForState(int nState, DWORD dwTimeoutMs) const;
    // Waits until the modal run has ended; false after dwTimeoutMs.
    bool WaitForEnd(DWORD dwTimeoutMs);
    // What the modal run returned (valid after WaitForEnd).
    INT_PTR Result() const { return m_nResult; }

private:
    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();

    // Set when the modal run has ended.
    HANDLE m_hEnded = nullptr;
    DWORD m_dwThreadId = 0;
    HWND m_hWnd = nullptr;
    INT_PTR m_nResult = -1;
    bool m_bLogInstalled = false;
    CWindowMessageLog m_log;
};

// The template's controls, in its order.
extern const int g_arrControlIds[7];

// "(left, top)-(right, bottom)", for comparing rectangles.
std::string DescribeRect(const RECT& rect);
// The size of the picture the control shows.
SIZE ShownBitmapSize(HWND hControl);
// The width of the window's small icon, in pixels.
int SmallIconWidth(HWND hWnd);
