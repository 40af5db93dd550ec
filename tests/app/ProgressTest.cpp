#include "app/Progress.h"
#include <gtest/gtest.h>

namespace
{
struct PercentCase
{
    UINT32 nDone;
    UINT32 nTotal;
    int nExpected;
};

const PercentCase kPercentCases[] = {
    { 0, 10, 0 },
    { 4, 10, 40 },
    { 10, 10, 100 },
    { 1, 1025, 0 },
    { 2048, 3072, 66 },
    // The double quotient is 72.9999964; rounded to single precision it
    // becomes 73.0 before the truncation.
    { 200704, 274937, 73 },
    { 200703, 274937, 72 },
    { 1047552, 1048576, 99 },
    { 4000000000u, 4000000000u, 100 },
    { 4294967295u, 4294967295u, 100 },
    { 9999, 1000000, 0 },
    { 10000, 1000000, 1 },
};
}

TEST(ProgressPercent, RoundsToSinglePrecisionBeforeTruncating)
{
    for (const PercentCase& c : kPercentCases)
        EXPECT_EQ(c.nExpected, ProgressPercent(c.nDone, c.nTotal))
            << "done " << c.nDone << " of " << c.nTotal;
}

TEST(ProgressPercent, NothingToDoCountsAsNoProgress)
{
    EXPECT_EQ(0, ProgressPercent(0, 0));
    EXPECT_EQ(0, ProgressPercent(5, 0));
}

// The threshold is exact: one byte less still gives the old percentage, for
// totals where the single-precision step moves a boundary (274937).
TEST(ProgressThreshold, IsTheFirstCountOfTheNextPercentage)
{
    for (UINT32 nTotal : {1u, 3u, 10u, 1025u, 274937u, 1000000u, 16777216u, 4294967295u})
    {
        int nPercent = 0;
        while (nPercent < 100)
        {
            const UINT64 nThreshold = ProgressThreshold(nPercent, nTotal);
            ASSERT_GE(nThreshold, 1u) << nTotal;
            ASSERT_LE(nThreshold, nTotal) << nTotal;
            const UINT32 nCount = static_cast<UINT32>(nThreshold);
            EXPECT_LE(ProgressPercent(nCount - 1, nTotal), nPercent) << "at " << nCount - 1 << " of " << nTotal;
            const int nNext = ProgressPercent(nCount, nTotal);
            ASSERT_GT(nNext, nPercent) << "at " << nCount << " of " << nTotal;
            nPercent = nNext;
        }
        EXPECT_EQ(static_cast<UINT64>(nTotal) + 1, ProgressThreshold(100, nTotal));
    }
    EXPECT_EQ(200704u, ProgressThreshold(72, 274937));
}
