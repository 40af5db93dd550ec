// Tests of watching the updater's window from outside, against the real
// dialog template created in this process.
#include <windows.h>
#include <gtest/gtest.h>
#include "WindowWatch.h"
#include "resource.h"

namespace
{
INT_PTR CALLBACK DialogProc(HWND, UINT nMessage, WPARAM, LPARAM)
{
    return nMessage == WM_INITDIALOG ? TRUE : FALSE;
}

class WindowWatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hDialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER_DIALOG), nullptr,
                                         DialogProc, 0);
        ASSERT_NE(m_hDialog, nullptr) << "error " << ::GetLastError();
        m_hStatus = ::GetDlgItem(m_hDialog, IDC_STATIC_STATUS);
        ASSERT_NE(m_hStatus, nullptr);
    }
    void TearDown() override
    {
        if (m_hDialog != nullptr)
            ::DestroyWindow(m_hDialog);
    }

    HWND m_hDialog = nullptr;
    HWND m_hStatus = nullptr;
};

TEST_F(WindowWatchTest, FindsTheProcessWindowByTitleAndClass)
{
    const DWORD dwSelf = ::GetCurrentProcessId();
    EXPECT_EQ(FindProcessWindow(dwSelf, L"Orvek Updater"), m_hDialog);
    EXPECT_EQ(FindProcessWindow(dwSelf, L"Orvek Updater", L"#32770"), m_hDialog);
    EXPECT_EQ(FindProcessWindow(dwSelf, nullptr, L"#32770"), m_hDialog);
    EXPECT_EQ(FindProcessWindow(dwSelf, L"Orvek Updater", L"Button"), nullptr);
    EXPECT_EQ(FindProcessWindow(dwSelf, L"Orvek"), nullptr);
    EXPECT_EQ(FindProcessWindow(dwSelf + 4, L"Orvek Updater"), nullptr);
    ::ShowWindow(m_hDialog, SW_HIDE);
    EXPECT_EQ(FindProcessWindow(dwSelf, L"Orvek Updater"), m_hDialog) << "hidden windows count too";
}

TEST_F(WindowWatchTest, SkipsTheExceptedWindowAndFindsTheNextOne)
{
    HWND hBox = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATER_DIALOG), nullptr,
                                     DialogProc, 0);
    ASSERT_NE(hBox, nullptr);
    const DWORD dwSelf = ::GetCurrentProcessId();
    HWND hFirst = FindProcessWindow(dwSelf, nullptr, L"#32770");
    HWND hOther = FindProcessWindow(dwSelf, nullptr, L"#32770", hFirst);
    EXPECT_TRUE((hFirst == m_hDialog && hOther == hBox) || (hFirst == hBox && hOther == m_hDialog))
        << "got " << hFirst << " and " << hOther;
    ::DestroyWindow(hBox);
    EXPECT_EQ(FindProcessWindow(dwSelf, nullptr, L"#32770", m_hDialog), nullptr);
}

TEST_F(WindowWatchTest, ShownInStateNeedsTheWindowAndItsStatusLineVisible)
{
    ::ShowWindow(m_hDialog, SW_SHOW);
    ::ShowWindow(m_hStatus, SW_SHOW);
    EXPECT_TRUE(IsShownInState(m_hDialog));
    ::ShowWindow(m_hStatus, SW_HIDE);
    EXPECT_FALSE(IsShownInState(m_hDialog));
    ::ShowWindow(m_hStatus, SW_SHOW);
    ::ShowWindow(m_hDialog, SW_HIDE);
    EXPECT_FALSE(IsShownInState(m_hDialog));
}

TEST_F(WindowWatchTest, WindowWithoutStatusLineIsShownOnceVisible)
{
    HWND hPlain = ::CreateWindowExW(0, L"Static", L"Orvek Blank", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hPlain, nullptr);
    EXPECT_FALSE(IsShownInState(hPlain));
    ::ShowWindow(hPlain, SW_SHOW);
    EXPECT_TRUE(IsShownInState(hPlain));
    ::DestroyWindow(hPlain);
}

TEST_F(WindowWatchTest, ShowsStatusReadsTheVisibleStatusLine)
{
    ::SetDlgItemTextW(m_hDialog, IDC_STATIC_STATUS, L"Orvek connected!");
    ::ShowWindow(m_hStatus, SW_SHOW);
    EXPECT_EQ(ControlText(m_hDialog, IDC_STATIC_STATUS), L"Orvek connected!");
    EXPECT_TRUE(ShowsStatus(m_hDialog, L"Orvek connected!"));
    EXPECT_FALSE(ShowsStatus(m_hDialog, L"Orvek successfully updated!"));
    EXPECT_FALSE(ShowsStatus(m_hDialog, L"Orvek connected"));
    ::ShowWindow(m_hStatus, SW_HIDE);
    EXPECT_FALSE(ShowsStatus(m_hDialog, L"Orvek connected!")) << "a hidden status line says nothing";
}
}
