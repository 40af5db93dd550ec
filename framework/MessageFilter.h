// The message filter of an elevated window, which keeps out messages from
// processes of lower integrity, the taskbar's among them.
#pragma once
#include "Platform.h"

// Lets message through hWnd's filter. False where the system has no
// per-window filter (before Windows 7) or refuses.
bool AllowMessageThroughFilter(HWND hWnd, UINT message);
