// WinInet's own message text for one of its error codes, as the program's
// failure boxes show it.
#pragma once
#include <windows.h>
#include <string>

// Empty when WinInet has no text for dwError.
std::wstring WinInetText(DWORD dwError);
