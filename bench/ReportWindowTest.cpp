// Tests of the benchmarks' report window: reports sent from a worker thread,
// as the workers send them, and waiting for one.
#include <windows.h>
#include <gtest/gtest.h>
#include <thread>
#include "ReportWindow.h"
#include "app/Notifications.h"

namespace
{
TEST(ReportWindowTest, NotesEveryReportSentFromAnotherThreadInOrder)
{
    CReportWindow window;
    ASSERT_TRUE(window.Create());
    const HWND hWnd = window.GetSafeHwnd();
    std::thread worker([hWnd]
    {
        ::SendMessageW(hWnd, UWM_DOWNLOAD_BEGIN, 0, 0);
        for (WPARAM n = 1; n <= 100; ++n)
            ::SendMessageW(hWnd, UWM_DOWNLOAD_PROGRESS, n, 0);
        ::SendMessageW(hWnd, UWM_DOWNLOAD_COMPLETE, 1, 0);
    });
    const bool bArrived = window.WaitFor(UWM_DOWNLOAD_COMPLETE, 30000);
    worker.join();
    ASSERT_TRUE(bArrived);

    const SReportArrivals begin = window.Arrivals(UWM_DOWNLOAD_BEGIN);
    const SReportArrivals progress = window.Arrivals(UWM_DOWNLOAD_PROGRESS);
    const SReportArrivals complete = window.Arrivals(UWM_DOWNLOAD_COMPLETE);
    EXPECT_EQ(begin.m_nCount, 1);
    EXPECT_EQ(progress.m_nCount, 100);
    EXPECT_EQ(progress.m_wLastParam, 100u);
    EXPECT_EQ(complete.m_nCount, 1);
    EXPECT_EQ(complete.m_wLastParam, 1u);
    EXPECT_LE(begin.m_dFirstSeconds, progress.m_dFirstSeconds);
    EXPECT_LE(progress.m_dFirstSeconds, progress.m_dLastSeconds);
    EXPECT_LE(progress.m_dLastSeconds, complete.m_dFirstSeconds);
    EXPECT_EQ(window.Arrivals(UWM_UPDATE_BEGIN).m_nCount, 0);
}

TEST(ReportWindowTest, WaitingForAReportThatNeverComesGivesUp)
{
    CReportWindow window;
    ASSERT_TRUE(window.Create());
    ::PostMessageW(window.GetSafeHwnd(), WM_NULL, 0, 0);
    EXPECT_FALSE(window.WaitFor(UWM_UPDATE_COMPLETE, 200));
}

TEST(ReportWindowTest, AReportThatCameBeforeTheWaitCounts)
{
    CReportWindow window;
    ASSERT_TRUE(window.Create());
    ::SendMessageW(window.GetSafeHwnd(), UWM_UPDATE_COMPLETE, 1, 0);
    EXPECT_TRUE(window.WaitFor(UWM_UPDATE_COMPLETE, 0));
}

TEST(ReportWindowTest, OtherMessagesGetTheDefaultHandling)
{
    CReportWindow window;
    ASSERT_TRUE(window.Create());
    wchar_t szTitle[64] = L"";
    ::GetWindowTextW(window.GetSafeHwnd(), szTitle, 64);
    EXPECT_STREQ(szTitle, L"Orvek benchmark");
    EXPECT_FALSE(::IsWindowVisible(window.GetSafeHwnd()));
}
}
