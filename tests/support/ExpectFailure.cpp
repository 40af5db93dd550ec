#include "support/ExpectFailure.h"
#include <gtest/gtest.h>
#include "app/UserTexts.h"

void ExpectFailure(const CWorkerRun& run, const wchar_t* pszText)
{
    ASSERT_EQ(1u, run.m_arrBoxes.size()) << run.Describe();
    const CFailureBox& box = run.m_arrBoxes[0];
    EXPECT_STREQ(pszText, box.m_strText.c_str());
    EXPECT_STREQ(UPDATER_CAPTION, box.m_strCaption.c_str());
    EXPECT_TRUE(box.m_bOwnerDisabled);
    EXPECT_EQ(0u, box.m_nReportsWhileUp) << run.Describe();
    EXPECT_EQ(box.m_nReportsBefore + 1, run.m_arrReports.size()) << "one report after the box: " << run.Describe();
    EXPECT_EQ(0, run.Completion()) << run.Describe();
    EXPECT_EQ('C', run.m_arrReports.back().m_chKind) << run.Describe();
}
