// Finding the Orvek in download mode through its device interface class,
// and opening its data pipe.
#pragma once
#include "framework/Platform.h"
#include <setupapi.h>

// The interface class a device in download mode presents.
extern const GUID GUID_DEVINTERFACE_DLMODE;

// Capacity of g_szDevicePath, terminating NUL included.
constexpr size_t DEVICE_PATH_SIZE = 260;
// Enumeration errors in a row after which a search gives up.
constexpr DWORD ENUM_ERROR_LIMIT = 3;

// The path of the last interface whose details a search fetched; extended in
// place to the pipe path by OpenDevicePipe.
extern char g_szDevicePath[DEVICE_PATH_SIZE];

// The first interface of the class that opens, or INVALID_HANDLE_VALUE.
// szDevicePath must hold DEVICE_PATH_SIZE characters; an interface is
// passed over unless its path, nSuffixRoom more characters and the NUL fit.
// An index the enumeration fails at is passed over, up to ENUM_ERROR_LIMIT
// in a row.
HANDLE FindDevice(const GUID& interfaceClass, char* szDevicePath, size_t nSuffixRoom = 0);

// Opens the enumerated interface; its path is copied into szDevicePath
// first. INVALID_HANDLE_VALUE if its details cannot be fetched, its path
// does not fit with nSuffixRoom characters to spare, or it does not open.
HANDLE OpenDeviceInterface(HDEVINFO hDevInfo, SP_DEVICE_INTERFACE_DATA* pInterfaceData,
                           char* szDevicePath, size_t nSuffixRoom = 0);

// True unless a complete listing of the present interfaces of the class
// lacks pszPath (compared without regard to case). Nothing is opened.
bool IsDeviceListed(const char* pszPath);

// The presence probe: a search for a device in download mode.
HANDLE OpenDevice();

// Opens the named pipe of the device a fresh search finds, at the
// interface path + '\' + pszPipeName, for overlapped writes;
// INVALID_HANDLE_VALUE if none.
HANDLE OpenDevicePipe(const char* pszPipeName);
