// WinInet's own message text for one of its error codes: as the platform
// gives it, and as the program's failure boxes show it.
#pragma once
#include <windows.h>
#include <string>

// As the platform gives it, line break included; empty when WinInet has no
// text for dwError.
std::wstring WinInetText(DWORD dwError);
// As a failure box shows it: without the trailing white space.
std::wstring WinInetBoxText(DWORD dwError);
