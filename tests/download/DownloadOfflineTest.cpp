// The download worker when the update service's host cannot be resolved.
#include "DownloadRun.h"
#include "app/ImageBuffer.h"

#include <gtest/gtest.h>
#include <wininet.h>

TEST(DownloadOfflineTest, UnresolvableHostShowsThePlatformsText)
{
    ReleaseImage();
    CDownloadRun run = RunDownload();
    ASSERT_TRUE(run.m_bFinished) << run.Describe();

    WCHAR szExpected[1024] = L"";
    ASSERT_NE(0u, ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   ::GetModuleHandleW(L"wininet.dll"), ERROR_INTERNET_NAME_NOT_RESOLVED, 0,
                                   szExpected, 1024, nullptr));
    ASSERT_EQ(1u, run.m_arrBoxes.size()) << run.Describe();
    EXPECT_STREQ(szExpected, run.m_arrBoxes[0].m_strText.c_str());
    EXPECT_EQ(0u, run.m_arrBoxes[0].m_nReportsWhileUp);
    EXPECT_EQ(0u, run.m_arrBoxes[0].m_nReportsBefore);
    EXPECT_FALSE(run.HasBegin());
    ASSERT_EQ(1u, run.m_arrReports.size()) << run.Describe();
    EXPECT_EQ(0, run.Completion());
    EXPECT_EQ(nullptr, g_pImage);
    std::printf("failed after %lu ms\n", static_cast<unsigned long>(run.m_dwElapsedMs));
}
