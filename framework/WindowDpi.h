// A window's display resolution and the system sizes that go with it: per
// monitor where the system has it (Windows 10), the system's otherwise.
#pragma once
#include "Platform.h"

// Dots per inch of the display the window is on.
UINT GetWindowDpi(HWND hWnd);
// GetSystemMetrics for a display of nDpi dots per inch.
int GetSystemMetricsAtDpi(int nIndex, UINT nDpi);
