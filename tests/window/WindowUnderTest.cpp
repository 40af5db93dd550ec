#include "window/WindowUnderTest.h"

BEGIN_MESSAGE_MAP(CWindowUnderTest, COrvekUpdaterDlg)
    ON_MESSAGE(WM_TEST_SET_STATE, OnTestSetState)
    ON_MESSAGE(WM_TEST_GET_STATE, OnTestGetState)
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
