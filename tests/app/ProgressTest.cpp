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
