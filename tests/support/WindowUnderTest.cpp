#include "support/WindowUnderTest.h"

BEGIN_MESSAGE_MAP(CWindowUnderTest, COrvekUpdaterDlg)
    ON_MESSAGE(WM_TEST_SET_STATE, OnTestSetState)
    ON_MESSAGE(WM_TEST_GET_STATE, OnTestGetState)
    ON_MESSAGE(WM_TEST_GET_EXECUTION_STATE, OnTestGetExecutionState)
    ON_MESSAGE(WM_TEST_COMPLETE_DOWNLOAD, OnTestCompleteDownload)
    ON_MESSAGE(WM_TEST_SET_WORKER, OnTestSetWorker)
END_MESSAGE_MAP()

LRESULT CWindowUnderTest::OnTestSetState(WPARAM wParam, LPARAM /*lParam*/)
{
    SetState(static_cast<int>(wParam));
    return 0;
}

LRESULT CWindowUnderTest::OnTestGetState(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return m_nState;
}

LRESULT CWindowUnderTest::OnTestGetExecutionState(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    // The state is read only by setting it, so it is put back at once.
    const EXECUTION_STATE state = ::SetThreadExecutionState(ES_CONTINUOUS);
    ::SetThreadExecutionState(state);
    return static_cast<LRESULT>(state);
}

LRESULT CWindowUnderTest::OnTestCompleteDownload(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    m_nWorker = WORKER_DOWNLOAD;
    OnDownloadComplete(1, 0);
    return m_nState;
}

LRESULT CWindowUnderTest::OnTestSetWorker(WPARAM wParam, LPARAM /*lParam*/)
{
    m_nWorker = static_cast<int>(wParam);
    return 0;
}
