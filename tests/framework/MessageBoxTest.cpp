// AfxMessageBox as the workers use it: shown from a worker thread, OK only,
// an exclamation mark, the application's name as caption, owned by the main
// window, which stays disabled until the user closes the box.
#include "support/Controls.h"
#include "support/Press.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include "framework/afxwin.h"
#include <gtest/gtest.h>
#include <vector>

namespace
{
struct BoxCall
{
    LPCWSTR pszText = nullptr;
    UINT nType = MB_OK;
    volatile LONG nResult = 0;
};

UINT AFX_CDECL ShowBoxProc(LPVOID pParam)
{
    BoxCall* pCall = static_cast<BoxCall*>(pParam);
    ::InterlockedExchange(&pCall->nResult, AfxMessageBox(pCall->pszText, pCall->nType));
    return 0;
}

// The box's visible push buttons, by id.
std::vector<int> VisibleButtonIds(HWND hBox)
{
    std::vector<int> ids;
    for (HWND hButton : ChildrenOfClass(hBox, L"Button", true))
        ids.push_back(::GetDlgCtrlID(hButton));
    return ids;
}

// The icon the box shows, from its static icon control.
HICON IconOf(HWND hBox)
{
    for (HWND hChild = ::GetWindow(hBox, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if ((::GetWindowLongW(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(::SendMessageW(hChild, STM_GETICON, 0, 0));
    }
    return nullptr;
}

class AfxMessageBoxTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hMain = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hMain);
        ASSERT_TRUE(m_main.SubclassWindow(m_hMain));
    }
    void TearDown() override
    {
        AfxGetApp()->m_pMainWnd = nullptr;
        m_main.DestroyWindow();
    }

    // Shows the box from a worker, checks it, and closes it as a user would.
    void ShowCheckAndClose(BoxCall& call, HWND hExpectedOwner)
    {
        CWinThread* pThread = AfxBeginThread(&ShowBoxProc, &call, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, pThread);
        const DWORD nThreadId = pThread->m_nThreadID;
        pThread->ResumeThread();

        HWND hBox = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (hBox = FindTopWindow(ShownDialogs(nThreadId))) != nullptr; }));
        EXPECT_EQ(hExpectedOwner, ::GetWindow(hBox, GW_OWNER));
        EXPECT_EQ(L"Orvek Updater", TextOf(hBox));
        EXPECT_EQ(std::wstring(call.pszText), TextOf(::GetDlgItem(hBox, 0xFFFF)));
        EXPECT_EQ(::LoadIconW(nullptr, IDI_EXCLAMATION), IconOf(hBox));
        const std::vector<int> buttons = VisibleButtonIds(hBox);
        ASSERT_EQ(1u, buttons.size());
        EXPECT_EQ(IDOK, buttons[0]);
        EXPECT_EQ(L"OK", TextOf(::GetDlgItem(hBox, buttons[0])));
        EXPECT_EQ(hExpectedOwner != m_hMain, ::IsWindowEnabled(m_hMain) != FALSE);

        // A real click on the button: a command posted to the box may be lost.
        PressButton(hBox, buttons[0]);
        EXPECT_TRUE(PumpUntil([&] { return call.nResult != 0; }));
        EXPECT_EQ(IDOK, call.nResult);
        EXPECT_TRUE(::IsWindowEnabled(m_hMain));
    }

    HWND m_hMain = nullptr;
    CWnd m_main;
};
}

TEST_F(AfxMessageBoxTest, WorkersBoxIsOwnedByTheMainWindowWhichWaitsDisabled)
{
    AfxGetApp()->m_pMainWnd = &m_main;
    BoxCall call;
    call.pszText = L"The connection with the server was reset";
    ShowCheckAndClose(call, m_hMain);
}

// As over the updater's question whether to stop: a box owned by the main
// window beside it would leave the main window enabled under the one still
// open when the other ends.
TEST_F(AfxMessageBoxTest, WorkersBoxOverAPopupOfTheMainWindowIsOwnedByThePopup)
{
    AfxGetApp()->m_pMainWnd = &m_main;
    const HWND hPopup = ::CreateWindowExW(0, L"STATIC", L"question", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, 200,
                                          100, m_hMain, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hPopup);
    ::SetActiveWindow(hPopup);
    BoxCall call;
    call.pszText = L"Your Orvek could not be updated.";
    ShowCheckAndClose(call, hPopup);
    ::DestroyWindow(hPopup);
}

TEST_F(AfxMessageBoxTest, WithoutAMainWindowTheBoxStandsAlone)
{
    BoxCall call;
    call.pszText = L"HTTP Status Code 404";
    ShowCheckAndClose(call, nullptr);
}
