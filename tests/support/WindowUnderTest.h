// The real updater window as the tests open it: it also answers two
// messages of the tests' own, to switch its state and to tell it, so that a
// test on another thread can reach every state through SetState itself.
#pragma once
#include "ui/OrvekUpdaterDlg.h"

// wParam: the state to switch to; result 0.
constexpr UINT WM_TEST_SET_STATE = WM_APP + 100;
// Result: the window's state.
constexpr UINT WM_TEST_GET_STATE = WM_APP + 101;
// Result: the window thread's execution state, read and put back.
constexpr UINT WM_TEST_GET_EXECUTION_STATE = WM_APP + 102;
// Handles the download's completion report with 1; result: the window's
// state before any other message, the transfer worker's first report
// included, has been taken.
constexpr UINT WM_TEST_COMPLETE_DOWNLOAD = WM_APP + 103;
// wParam: the worker to count as running (WORKER_...), lParam: its token;
// result 0.
constexpr UINT WM_TEST_SET_WORKER = WM_APP + 104;

// Throws from the handler: std::bad_alloc with wParam 1, else
// std::runtime_error.
constexpr UINT WM_TEST_THROW = WM_APP + 105;

class CWindowUnderTest : public COrvekUpdaterDlg
{
public:
    DECLARE_MESSAGE_MAP()

protected:
    LRESULT OnTestSetState(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestGetState(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestGetExecutionState(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestCompleteDownload(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestSetWorker(WPARAM wParam, LPARAM lParam);
    LRESULT OnTestThrow(WPARAM wParam, LPARAM lParam);
};
