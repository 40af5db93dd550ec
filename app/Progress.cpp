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
