// The progress percentage.
#include "app/Progress.h"

int ProgressPercent(UINT32 nDone, UINT32 nTotal)
{
    if (nTotal == 0)
        return 0;
    const double dQuotient = static_cast<double>(nDone) * 100.0 / static_cast<double>(nTotal);
    const float fQuotient = static_cast<float>(dQuotient);
    return static_cast<int>(fQuotient);
}

UINT64 ProgressThreshold(int nPercent, UINT32 nTotal)
{
    if (ProgressPercent(nTotal, nTotal) <= nPercent)
        return static_cast<UINT64>(nTotal) + 1;
    UINT32 nLow = 0;
    UINT32 nHigh = nTotal;
    while (nHigh - nLow > 1)
    {
        const UINT32 nMiddle = nLow + (nHigh - nLow) / 2;
        if (ProgressPercent(nMiddle, nTotal) > nPercent)
            nHigh = nMiddle;
        else
            nLow = nMiddle;
    }
    return ProgressPercent(nLow, nTotal) > nPercent ? nLow : nHigh;
}
