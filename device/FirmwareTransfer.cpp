// The firmware transfer worker thread.
#include "device/FirmwareTransfer.h"
#include "device/DeviceDiscovery.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/Progress.h"
#include <cstring>

// Shown when the pipe does not open or a write fails or falls short.
static const WCHAR TRANSFER_FAILED_TEXT[] =
    L"Your Orvek could not be updated. Reconnect it in D/L mode and try again.";
// Shown when the device took nothing for the whole deadline of a write.
static const WCHAR DEVICE_STALLED_TEXT[] =
    L"Your Orvek stopped responding during the update.\n\n"
    L"Disconnect it, switch it to D/L mode, connect it and update it again.";
// Shown when a write failed and the device was no longer there.
static const WCHAR DEVICE_UNPLUGGED_TEXT[] =
    L"Your Orvek was disconnected during the update.\n\n"
    L"Switch it to D/L mode, connect it and update it again.";
// Shown when there is no image, or one shorter than its head block.
static const WCHAR INVALID_IMAGE_TEXT[] = L"The downloaded update is not a valid Orvek firmware image.";

static const char DATA_PIPE_NAME[] = "PIPE00";

DWORD g_dwWriteTimeoutMs = WRITE_TIMEOUT_MS;
DWORD g_dwWriteRetryDelayMs = WRITE_RETRY_DELAY_MS;

// The data pipe while the transfer writes into it, for StopTransfer; null
// otherwise. Whoever takes it out first decides: the worker closes it, or
// the window cancels on it and the worker leaves it to the program's end.
static HANDLE volatile g_hTransferPipe = nullptr;

// One attempt: ERROR_SUCCESS, or why it failed; ERROR_TIMEOUT once the
// deadline has passed and the write has been cancelled.
static DWORD WriteOnce(HANDLE hDevice, const BYTE* pData, DWORD nCount, OVERLAPPED& overlapped, DWORD& dwWritten)
{
    dwWritten = 0;
    // Most writes go into the pipe's buffer at once and need no wait.
    if (::WriteFile(hDevice, pData, nCount, nullptr, &overlapped))
        return ::GetOverlappedResult(hDevice, &overlapped, &dwWritten, FALSE) ? ERROR_SUCCESS : ::GetLastError();
    const DWORD dwError = ::GetLastError();
    if (dwError != ERROR_IO_PENDING)
        return dwError;
    const bool bTimedOut = ::WaitForSingleObject(hDevice, g_dwWriteTimeoutMs) != WAIT_OBJECT_0;
    if (bTimedOut)
        ::CancelIoEx(hDevice, &overlapped);
    // Cancelled or not, the write must have ended before its record is reused.
    if (::GetOverlappedResult(hDevice, &overlapped, &dwWritten, TRUE))
        return ERROR_SUCCESS;
    return bTimedOut ? ERROR_TIMEOUT : ::GetLastError();
}

// True if a search no longer finds a device in download mode.
static bool IsDeviceGone()
{
    const HANDLE hDevice = OpenDevice();
    if (hDevice == INVALID_HANDLE_VALUE)
        return true;
    ::CloseHandle(hDevice);
    return false;
}

DWORD WriteDevice(HANDLE hDevice, const BYTE* pData, DWORD nCount)
{
    // No event: with one write outstanding, the pipe itself is signalled
    // when it ends, which spares two calls into the system per piece.
    OVERLAPPED overlapped = {};

    DWORD dwWritten = 0;
    DWORD dwError = ERROR_SUCCESS;
    DWORD dwLastSearch = 0;
    for (UINT32 nAttempt = 0; nAttempt < WRITE_RETRY_LIMIT; ++nAttempt)
    {
        dwError = WriteOnce(hDevice, pData, nCount, overlapped, dwWritten);
        // Sent again, a piece taken in part would reach the device twice;
        // retries would stretch a deadline or a stop to many times its length.
        if (dwError == ERROR_SUCCESS || dwWritten != 0 || dwError == ERROR_TIMEOUT
            || dwError == ERROR_OPERATION_ABORTED)
            break;
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

void StopTransfer()
{
    const HANDLE hPipe = ::InterlockedExchangePointer(&g_hTransferPipe, nullptr);
    if (hPipe != nullptr)
        ::CancelIoEx(hPipe, nullptr);
}

// Why a write fell short: WriteDevice's reason, or ERROR_WRITE_FAULT for an
// attempt that succeeded short.
static DWORD WriteError()
{
    const DWORD dwError = ::GetLastError();
    return dwError == ERROR_SUCCESS ? ERROR_WRITE_FAULT : dwError;
}

// The box for a transfer that ended with dwError.
static const WCHAR* FailureText(DWORD dwError)
{
    switch (dwError)
    {
    case ERROR_TIMEOUT:
        return DEVICE_STALLED_TEXT;
    case ERROR_DEVICE_NOT_CONNECTED:
        return DEVICE_UNPLUGGED_TEXT;
    default:
        return TRANSFER_FAILED_TEXT;
    }
}

// Writes the head bytes, then the body in pieces with progress reports.
// Stops at the first write that fails or falls short: the device would
// otherwise receive an image with a hole in it. Returns ERROR_SUCCESS, or
// what WriteDevice said of the write that stopped it.
static DWORD WriteImage(HANDLE hPipe, const BYTE* pImage, UINT32 nImageSize, HWND hWnd)
{
    BYTE arrHead[IMAGE_HEAD_SIZE];
    memcpy(arrHead, pImage, IMAGE_HEAD_SIZE);
    if (WriteDevice(hPipe, arrHead, IMAGE_HEAD_SEND_SIZE) != IMAGE_HEAD_SEND_SIZE)
        return WriteError();

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
            ::SendMessageW(hWnd, UWM_UPDATE_PROGRESS, static_cast<WPARAM>(nPercent), 0);
        }
        pRead += nPiece;
        nLeft -= nPiece;
    }
    return ERROR_SUCCESS;
}

UINT AFX_CDECL UpdateThreadProc(LPVOID pParam)
{
    const HWND hWnd = static_cast<HWND>(pParam);
    ::SendMessageW(hWnd, UWM_UPDATE_BEGIN, 0, 0);

    // An image without its whole head block is never read.
    if (g_pImage == nullptr || g_nImageSize < IMAGE_HEAD_SIZE)
    {
        ReleaseImage();
        ::SendMessageW(hWnd, UWM_FAILURE_SHOWN, 0, 0);
        AfxMessageBox(INVALID_IMAGE_TEXT);
        ::SendMessageW(hWnd, UWM_UPDATE_COMPLETE, 0, 0);
        return 0;
    }

    DWORD dwError = ERROR_FILE_NOT_FOUND;
    const HANDLE hPipe = OpenDevicePipe(DATA_PIPE_NAME);
    if (hPipe != INVALID_HANDLE_VALUE)
    {
        ::InterlockedExchangePointer(&g_hTransferPipe, hPipe);
        dwError = WriteImage(hPipe, g_pImage, g_nImageSize, hWnd);
    }
    ReleaseImage();
    if (hPipe != INVALID_HANDLE_VALUE)
    {
        // Taken by StopTransfer: the window may be cancelling on it right
        // now, and is ending the program.
        if (::InterlockedExchangePointer(&g_hTransferPipe, nullptr) == nullptr)
            return 0;
        ::CloseHandle(hPipe);
    }

    if (dwError != ERROR_SUCCESS)
    {
        ::SendMessageW(hWnd, UWM_FAILURE_SHOWN, 0, 0);
        AfxMessageBox(FailureText(dwError));
    }
    ::SendMessageW(hWnd, UWM_UPDATE_COMPLETE, dwError == ERROR_SUCCESS ? 1 : 0, 0);
    return 0;
}
