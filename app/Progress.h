// The progress percentage both workers report.
#pragma once
#include "framework/Platform.h"

// nDone * 100 / nTotal in double precision, rounded to the nearest single
// precision value, then truncated toward zero. The single-precision step is
// part of the result: 200704 of 274937 gives 73, not 72.
int ProgressPercent(UINT32 nDone, UINT32 nTotal);

// The least count of nTotal whose percentage is above nPercent, or nTotal + 1
// when there is none. The percentage never falls as the count grows, so a
// worker that keeps this count compares counts instead of computing the
// percentage after every read, and reports the same values.
UINT64 ProgressThreshold(int nPercent, UINT32 nTotal);
