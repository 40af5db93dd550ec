// The firmware transfer worker thread.
#include "device/FirmwareTransfer.h"
#include "device/DeviceDiscovery.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/Progress.h"
#include "app/UserText.h"
#include "app/WorkerStart.h"
#include <cstring>
#include <memory>


static const char DATA_PIPE_NAME[] = "PIPE00";

DWORD g_dwWriteTimeoutMs = WRITE_TIMEOUT_MS;
DWORD g_dwWriteRetryDelayMs = WRITE_RETRY_DELAY_MS;
DWORD g_dwCancelWaitMs = CANCEL_WAIT_MS;
decltype(&::WriteFile) g_pfnWriteFile = ::WriteFile;
decltype(&::CancelIoEx) g_pfnCancelIoEx = ::CancelIoEx;
volatile LONG g_lTransferStopped = FALSE;

// The data pipe while the transfer writes into it, for StopTransfer; null
// otherwise. Whoever takes it out first decides: the worker closes it, or
// the window cancels on it and the worker leaves it to the program's end.
static HANDLE volatile g_hTransferPipe = nullptr;
// The interface path of the device whose pipe the transfer writes into.
static char g_szTransferDevice[DEVICE_PATH_SIZE];

// One attempt: ERROR_SUCCESS, or why it failed; ERROR_TIMEOUT once the
// deadline has passed and the write has been cancelled, ERROR_IO_PENDING if
// it has not ended even then.
static DWORD WriteOnce(HANDLE hDevice, const BYTE* pData, DWORD nCount, OVERLAPPED& overlapped, DWORD& dwWritten)
{
    dwWritten = 0;
    overlapped = OVERLAPPED();
    if (g_lTransferStopped != FALSE)
        return ERROR_CANCELLED;
    // Most writes go into the pipe's buffer at once and need no wait.
    if (g_pfnWriteFile(hDevice, pData, nCount, nullptr, &overlapped))
        return ::GetOverlappedResult(hDevice, &overlapped, &dwWritten, FALSE) ? ERROR_SUCCESS : ::GetLastError();
    const DWORD dwError = ::GetLastError();
    if (dwError != ERROR_IO_PENDING)
        return dwError;
    // A stop marked while the write started may have cancelled before the
    // write was there to cancel.
    if (g_lTransferStopped != FALSE)
        g_pfnCancelIoEx(hDevice, &overlapped);

    const bool bTimedOut = ::WaitForSingleObject(hDevice, g_dwWriteTimeoutMs) != WAIT_OBJECT_0;
    if (bTimedOut)
    {
        g_pfnCancelIoEx(hDevice, &overlapped);
        if (::WaitForSingleObject(hDevice, g_dwCancelWaitMs) != WAIT_OBJECT_0)
            return ERROR_IO_PENDING;
    }
    if (::GetOverlappedResult(hDevice, &overlapped, &dwWritten, TRUE))
        return ERROR_SUCCESS;
    const DWORD dwResult = ::GetLastError();
    // Drivers cancel requests of their own too (a pipe reset, a power
    // change, a removal): only the user's stop makes an abort final.
    if (dwResult == ERROR_OPERATION_ABORTED && g_lTransferStopped != FALSE)
        return ERROR_CANCELLED;
    return bTimedOut ? ERROR_TIMEOUT : dwResult;
}

// Errors that only a device that has left gives.
static bool MeansDeviceGone(DWORD dwError)
{
    switch (dwError)
    {
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NO_SUCH_DEVICE:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

// True once SetupAPI no longer lists the device the transfer writes to.
// The device is never opened for this: many drivers refuse a second open
// while the pipe is open, and a busy device is not a missing one.
static bool IsDeviceGone()
{
    return g_szTransferDevice[0] != '\0' && !IsDeviceListed(g_szTransferDevice);
}

DWORD WriteDevice(HANDLE hDevice, const BYTE* pData, DWORD nCount)
{
    // No event: with one write outstanding, the pipe itself is signalled
    // when it ends, which spares two calls into the system per piece. On
    // the heap, as a write that never ends keeps it for good.
    std::unique_ptr<OVERLAPPED> pOverlapped(new OVERLAPPED());

    DWORD dwWritten = 0;
    DWORD dwError = ERROR_SUCCESS;
    DWORD dwLastSearch = 0;
    for (UINT32 nAttempt = 0; nAttempt < WRITE_RETRY_LIMIT; ++nAttempt)
    {
        dwError = WriteOnce(hDevice, pData, nCount, *pOverlapped, dwWritten);
        if (dwError == ERROR_IO_PENDING)
        {
            pOverlapped.release();
            break;
        }
        // Sent again, a piece taken in part would reach the device twice;
        // retries would stretch a deadline to many times its length.
        if (dwError == ERROR_SUCCESS || dwWritten != 0 || dwError == ERROR_TIMEOUT || dwError == ERROR_CANCELLED)
            break;
        if (MeansDeviceGone(dwError))
        {
            dwError = ERROR_DEVICE_NOT_CONNECTED;
            break;
        }
        // An unplugged device fails every attempt: no use spending them all.
        const DWORD dwNow = ::GetTickCount();
        if (nAttempt == 0 || dwNow - dwLastSearch >= PRESENCE_CHECK_PERIOD_MS)
        {
            dwLastSearch = dwNow;
            if (IsDeviceGone())
            {
                dwError = ERROR_DEVICE_NOT_CONNECTED;
                break;
            }
        }
        ::Sleep(g_dwWriteRetryDelayMs);
    }
    ::SetLastError(dwError);
    return dwWritten;
}

// No lock: a write may take the whole of its call (a driver may end even
// an overlapped write inside it), and the window must not wait for it. A
// write that starts after the mark never starts; one that started before
// it is cancelled here, or by its own check of the mark.
void StopTransfer()
{
    ::InterlockedExchange(&g_lTransferStopped, TRUE);
    const HANDLE hPipe = ::InterlockedExchangePointer(&g_hTransferPipe, nullptr);
    if (hPipe != nullptr)
        g_pfnCancelIoEx(hPipe, nullptr);
}

// Why a write fell short: WriteDevice's reason, or ERROR_WRITE_FAULT for an
// attempt that succeeded short.
static DWORD WriteError()
{
    const DWORD dwError = ::GetLastError();
    return dwError == ERROR_SUCCESS ? ERROR_WRITE_FAULT : dwError;
}

// The box's text for a transfer that ended with dwError.
static UINT FailureTextId(DWORD dwError)
{
    switch (dwError)
    {
    case ERROR_TIMEOUT:
    case ERROR_IO_PENDING:
        return IDS_DEVICE_STALLED;
    case ERROR_DEVICE_NOT_CONNECTED:
        return IDS_DEVICE_UNPLUGGED;
    default:
        return IDS_TRANSFER_FAILED;
    }
}

// Writes the head bytes, then the body in pieces with progress reports.
// Stops at the first write that fails or falls short: the device would
// otherwise receive an image with a hole in it. Returns ERROR_SUCCESS, or
// what WriteDevice said of the write that stopped it.
static DWORD WriteImage(HANDLE hPipe, const BYTE* pImage, UINT32 nImageSize, const CWorkerStart& start)
{
    // On the heap, as a write that never ends may read it for good.
    std::unique_ptr<BYTE[]> pHead(new BYTE[IMAGE_HEAD_SIZE]);
    memcpy(pHead.get(), pImage, IMAGE_HEAD_SIZE);
    if (WriteDevice(hPipe, pHead.get(), IMAGE_HEAD_SEND_SIZE) != IMAGE_HEAD_SEND_SIZE)
    {
        const DWORD dwError = WriteError();
        if (dwError == ERROR_IO_PENDING)
            pHead.release();
        return dwError;
    }

    const BYTE* pRead = pImage + IMAGE_HEAD_SIZE;
    UINT32 nLeft = nImageSize - IMAGE_HEAD_SIZE;
    UINT32 nSent = 0;
    int nLastPercent = 0;
    while (nLeft != 0)
    {
        const UINT32 nPiece = nLeft < TRANSFER_CHUNK_SIZE ? nLeft : TRANSFER_CHUNK_SIZE;
        if (WriteDevice(hPipe, pRead, nPiece) != nPiece)
            return WriteError();
        nSent += nPiece;
        const int nPercent = ProgressPercent(nSent, nImageSize);
        if (nPercent != nLastPercent)
        {
            nLastPercent = nPercent;
            start.Report(UWM_UPDATE_PROGRESS, static_cast<WPARAM>(nPercent));
        }
        pRead += nPiece;
        nLeft -= nPiece;
    }
    return ERROR_SUCCESS;
}

// The interface part of the pipe path that OpenDevicePipe left in
// g_szDevicePath, for the presence checks of the writes.
static void KeepTransferDevice()
{
    memcpy(g_szTransferDevice, g_szDevicePath, DEVICE_PATH_SIZE);
    char* pszPipeName = strrchr(g_szTransferDevice, '\\');
    if (pszPipeName != nullptr)
        *pszPipeName = '\0';
}

UINT AFX_CDECL UpdateThreadProc(LPVOID pParam)
{
    const CWorkerStart start = TakeWorkerStart(pParam);
    start.Report(UWM_UPDATE_BEGIN);

    // An image without its whole head block is never read.
    if (g_pImage == nullptr || g_nImageSize < IMAGE_HEAD_SIZE)
    {
        ReleaseImage();
        start.Report(UWM_FAILURE_SHOWN);
        AfxMessageBox(UserText(IDS_INVALID_IMAGE));
        start.Report(UWM_UPDATE_COMPLETE, 0);
        return 0;
    }

    DWORD dwError = ERROR_FILE_NOT_FOUND;
    const HANDLE hPipe = OpenDevicePipe(DATA_PIPE_NAME);
    if (hPipe != INVALID_HANDLE_VALUE)
    {
        KeepTransferDevice();
        ::InterlockedExchangePointer(&g_hTransferPipe, hPipe);
        try
        {
            dwError = WriteImage(hPipe, g_pImage, g_nImageSize, start);
        }
        catch (...)
        {
            // Out of memory, or a fault of ours: nothing more is written,
            // and the user hears of it as of a failed write.
            dwError = ERROR_WRITE_FAULT;
        }
        g_szTransferDevice[0] = '\0';
    }
    // A write the device never ended may still read the image.
    if (dwError == ERROR_IO_PENDING)
        AbandonImage();
    else
        ReleaseImage();
    if (hPipe != INVALID_HANDLE_VALUE)
    {
        // Taken by StopTransfer: the window may be cancelling on it right
        // now, and is ending the program.
        if (::InterlockedExchangePointer(&g_hTransferPipe, nullptr) == nullptr)
            return 0;
        ::CloseHandle(hPipe);
    }
    // Stopped by the user, who is ending the program.
    if (dwError == ERROR_CANCELLED)
        return 0;

    if (dwError != ERROR_SUCCESS)
    {
        start.Report(UWM_FAILURE_SHOWN);
        AfxMessageBox(UserText(FailureTextId(dwError)));
    }
    start.Report(UWM_UPDATE_COMPLETE, dwError == ERROR_SUCCESS ? 1 : 0);
    return 0;
}
