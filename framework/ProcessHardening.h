// What the program asks of Windows before anything else it does.
#pragma once
#include "Platform.h"

// DLLs loaded later by a bare name, by the program or by Windows' own
// components, come from the system folder only: never from the exe's
// folder (a Downloads folder, as a rule) nor from the current one. A
// corrupted heap ends the process.
void AFXAPI AfxHardenProcess();
