#include "support/WindowUnderTest.h"
#include <new>
#include <stdexcept>

BEGIN_MESSAGE_MAP(CWindowUnderTest, COrvekUpdaterDlg)
    ON_MESSAGE(WM_TEST_SET_STATE, OnTestSetState)
    ON_MESSAGE(WM_TEST_GET_STATE, OnTestGetState)
    ON_MESSAGE(WM_TEST_GET_EXECUTION_STATE, OnTestGetExecutionState)
    ON_MESSAGE(WM_TEST_COMPLETE_DOWNLOAD, OnTestCompleteDownload)
    ON_MESSAGE(WM_TEST_SET_WORKER, OnTestSetWorker)
    ON_MESSAGE(WM_TEST_THROW, OnTestThrow)
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
    OnDownloadComplete(1, m_lWorkerToken);
    return m_nState;
}

LRESULT CWindowUnderTest::OnTestSetWorker(WPARAM wParam, LPARAM lParam)
{
    m_nWorker = static_cast<int>(wParam);
    m_lWorkerToken = lParam;
    return 0;
}

LRESULT CWindowUnderTest::OnTestThrow(WPARAM wParam, LPARAM /*lParam*/)
{
    if (wParam == 1)
        throw std::bad_alloc();
    throw std::runtime_error("a fault of the handler");
}
