// The one place where the framework takes in the platform's headers and
// evens out what mingw-w64 and Wine lack.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <tchar.h>

#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// "A device which does not exist was specified."
#ifndef ERROR_NO_SUCH_DEVICE
#define ERROR_NO_SUCH_DEVICE 433L
#endif

#ifndef AFX_CDECL
#define AFX_CDECL __cdecl
#endif
#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
// Windows 8's; mingw-w64 declares it only for builds that require Windows 8.
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif
