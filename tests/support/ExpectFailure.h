// How a worker's failure must reach the user, whichever worker failed.
#pragma once
#include "support/WorkerRun.h"

// One box with exactly this text and the program's caption over the disabled
// window, no report while it was up, and after it only the completion
// report, with 0.
void ExpectFailure(const CWorkerRun& run, const wchar_t* pszText);
