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
// Shown when there is no image, or one shorter than its head block.
static const WCHAR INVALID_IMAGE_TEXT[] = L"The downloaded update is not a valid Orvek firmware image.";

static const char DATA_PIPE_NAME[] = "PIPE00";

DWORD WriteDevice(HANDLE hDevice, const BYTE* pData, DWORD nCount)
{
    for (UINT32 nAttempt = 0; nAttempt < WRITE_RETRY_LIMIT; ++nAttempt)
    {
        DWORD dwWritten = 0;
        if (::WriteFile(hDevice, pData, nCount, &dwWritten, nullptr))
            return dwWritten;
        ::Sleep(WRITE_RETRY_DELAY_MS);
    }
    return 0;
}

// Writes the head bytes, then the body in pieces with progress reports.
// Stops at the first write that fails or falls short: the device would
// otherwise receive an image with a hole in it.
static BOOL WriteImage(HANDLE hPipe, const BYTE* pImage, UINT32 nImageSize, HWND hWnd)
{
    BYTE arrHead[IMAGE_HEAD_SIZE];
    memcpy(arrHead, pImage, IMAGE_HEAD_SIZE);
    if (WriteDevice(hPipe, arrHead, IMAGE_HEAD_SEND_SIZE) != IMAGE_HEAD_SEND_SIZE)
        return FALSE;

    const BYTE* pRead = pImage + IMAGE_HEAD_SIZE;
    UINT32 nLeft = nImageSize - IMAGE_HEAD_SIZE;
    UINT32 nSent = 0;
    int nLastPercent = 0;
    while (nLeft != 0)
    {
        const UINT32 nPiece = nLeft < TRANSFER_CHUNK_SIZE ? nLeft : TRANSFER_CHUNK_SIZE;
        if (WriteDevice(hPipe, pRead, nPiece) != nPiece)
            return FALSE;
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
    return TRUE;
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

    BOOL bWritten = FALSE;
    const HANDLE hPipe = OpenDevicePipe(DATA_PIPE_NAME);
    if (hPipe != INVALID_HANDLE_VALUE)
        bWritten = WriteImage(hPipe, g_pImage, g_nImageSize, hWnd);
    ReleaseImage();
    if (hPipe != INVALID_HANDLE_VALUE)
        ::CloseHandle(hPipe);

    if (!bWritten)
    {
        ::SendMessageW(hWnd, UWM_FAILURE_SHOWN, 0, 0);
        AfxMessageBox(TRANSFER_FAILED_TEXT);
    }
    ::SendMessageW(hWnd, UWM_UPDATE_COMPLETE, bWritten ? 1 : 0, 0);
    return 0;
}
