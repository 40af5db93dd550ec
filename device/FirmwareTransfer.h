// The transfer worker: writes the downloaded firmware image into the
// device's data pipe and reports to the updater window.
#pragma once
#include "framework/afxwin.h"

// Length of the image's head block, in bytes.
constexpr UINT32 IMAGE_HEAD_SIZE = 1024;
// Bytes of the head block written to the device.
constexpr UINT32 IMAGE_HEAD_SEND_SIZE = 20;
// Largest piece of the image body written in one write, in bytes.
constexpr UINT32 TRANSFER_CHUNK_SIZE = 2048;
// Attempts of one write.
constexpr UINT32 WRITE_RETRY_LIMIT = 3000;
// Pause after each failed attempt, in milliseconds.
constexpr DWORD WRITE_RETRY_DELAY_MS = 5;

// Writes nCount bytes with WriteFile, trying up to WRITE_RETRY_LIMIT times
// with a pause after each failure. Returns the count the successful attempt
// wrote (which may be short), or 0 when every attempt failed.
DWORD WriteDevice(HANDLE hDevice, const BYTE* pData, DWORD nCount);

// The worker thread's body; pParam is the updater window's HWND, to which
// every report is sent. Returns 0.
UINT AFX_CDECL UpdateThreadProc(LPVOID pParam);
