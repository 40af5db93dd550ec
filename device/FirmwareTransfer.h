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
// Longest wait for the device to take one write, in milliseconds: long
// enough for a slow flash erase, short enough that nobody waits for ever.
constexpr DWORD WRITE_TIMEOUT_MS = 60000;
// Least time between two searches for the device while a write fails, in
// milliseconds.
constexpr DWORD PRESENCE_CHECK_PERIOD_MS = 1000;
// Longest wait for a write to end once it has been cancelled at its
// deadline, in milliseconds. A driver that keeps it longer is left with it.
constexpr DWORD CANCEL_WAIT_MS = 10000;

// The deadline of one write: WRITE_TIMEOUT_MS, unless a test shortens it.
extern DWORD g_dwWriteTimeoutMs;
// The pause after a failed attempt: WRITE_RETRY_DELAY_MS, unless a test
// shortens it.
extern DWORD g_dwWriteRetryDelayMs;
// The wait after a cancel: CANCEL_WAIT_MS, unless a test shortens it.
extern DWORD g_dwCancelWaitMs;
// The platform's write and cancel, which a test replaces to play a driver
// that refuses single writes or never ends a cancelled one.
extern decltype(&::WriteFile) g_pfnWriteFile;
extern decltype(&::CancelIoEx) g_pfnCancelIoEx;
// Set by StopTransfer; it stays set, as the program is ending (a test that
// goes on clears it).
extern volatile LONG g_lTransferStopped;

// Writes nCount bytes into the pipe (opened for overlapped I/O), trying up
// to WRITE_RETRY_LIMIT times with a pause after each failure. Returns the
// count the successful attempt wrote (which may be short). Otherwise it
// returns what the failed attempt wrote, 0 or short of nCount, and
// GetLastError says why:
// - ERROR_TIMEOUT: the device had not taken them after g_dwWriteTimeoutMs;
// - ERROR_IO_PENDING: nor had it ended the write g_dwCancelWaitMs after its
//   cancel, so pData may still be read and the write's record written;
// - ERROR_DEVICE_NOT_CONNECTED: the device is gone (no longer listed, or an
//   error that only a device that left gives);
// - ERROR_CANCELLED: the user stopped the transfer;
// - else the last attempt's error.
// An attempt that timed out, or that the device took in part, is not tried
// again.
DWORD WriteDevice(HANDLE hDevice, const BYTE* pData, DWORD nCount);

// For a user who stops the update: no more is written, and the write in
// progress is cancelled. The transfer then ends without telling anyone, as
// the program is ending.
void StopTransfer();

// The worker thread's body; pParam is the CWorkerStart (app/WorkerStart.h)
// it was started with. Returns 0.
UINT AFX_CDECL UpdateThreadProc(LPVOID pParam);
