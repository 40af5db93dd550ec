// The download worker when the update service's host cannot be resolved.
#include "support/DownloadRun.h"
#include "app/ImageBuffer.h"
#include "support/WinInetText.h"

#include <gtest/gtest.h>
#include <wininet.h>

TEST(DownloadOfflineTest, UnresolvableHostShowsThePlatformsText)
{
    ReleaseImage();
    CDownloadRun run = RunDownload();
    ASSERT_TRUE(run.m_bFinished) << run.Describe();

    const std::wstring strExpected = WinInetBoxText(ERROR_INTERNET_NAME_NOT_RESOLVED);
    ASSERT_FALSE(strExpected.empty());
    ASSERT_NE(WinInetText(ERROR_INTERNET_NAME_NOT_RESOLVED), strExpected) << "the platform's text has no line break";
    ASSERT_EQ(1u, run.m_arrBoxes.size()) << run.Describe();
    EXPECT_EQ(strExpected, run.m_arrBoxes[0].m_strText);
    EXPECT_EQ(0u, run.m_arrBoxes[0].m_nReportsWhileUp);
    EXPECT_EQ(0u, run.m_arrBoxes[0].m_nReportsBefore);
    EXPECT_FALSE(run.HasBegin());
    ASSERT_EQ(1u, run.m_arrReports.size()) << run.Describe();
    EXPECT_EQ(0, run.Completion());
    EXPECT_EQ(nullptr, g_pImage);
    std::printf("failed after %lu ms\n", static_cast<unsigned long>(run.m_dwElapsedMs));
}
