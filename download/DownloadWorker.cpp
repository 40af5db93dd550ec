// The download worker thread.
#include "download/DownloadWorker.h"
#include "download/UpdateRequest.h"
#include "download/WebPage.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/Progress.h"
#include "app/UserText.h"
#include "app/UserTexts.h"
#include "app/WorkerStart.h"
#include "framework/InternetLibrary.h"
#include <new>


// The body is read in pieces of this size, each followed by a percentage.
static const UINT READ_STEP = 4;
static const UINT ERROR_TEXT_CHARS = 1024;

// Reads the body, at most nDeclared bytes, into a new image buffer with
// progress reports; on failure says why in strFailure.
static BOOL DownloadImage(CHttpFile& file, UINT32 nDeclared, const CWorkerStart& start, CString& strFailure)
{
    if (nDeclared == 0)
    {
        strFailure = UserText(IDS_NO_LENGTH);
        return FALSE;
    }

    // Whatever an earlier failed download left is no one's now.
    ReleaseImage();
    BYTE* pImage = new (std::nothrow) BYTE[nDeclared];
    if (pImage == nullptr)
    {
        strFailure = UserText(IDS_NO_MEMORY);
        return FALSE;
    }
    g_pImage = pImage;
    g_nImageSize = nDeclared;

    BYTE* pWrite = pImage;
    UINT32 nReceived = 0;
    UINT64 nNextReport = ProgressThreshold(0, nDeclared);
    // The platform reads to the end of the connection whatever the declared
    // length says, so never ask for more than is still due.
    while (nReceived < nDeclared)
    {
        const UINT32 nDue = nDeclared - nReceived;
        const UINT nRead = file.Read(pWrite, nDue < READ_STEP ? nDue : READ_STEP);
        if (nRead == 0)
            break;
        nReceived += nRead;
        if (nReceived >= nNextReport)
        {
            const int nPercent = ProgressPercent(nReceived, nDeclared);
            start.Report(UWM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(nPercent));
            nNextReport = ProgressThreshold(nPercent, nDeclared);
        }
        pWrite += nRead;
    }

    if (nReceived < nDeclared)
    {
        strFailure = UserText(IDS_TOO_SHORT);
        return FALSE;
    }
    BYTE byExtra = 0;
    if (file.Read(&byExtra, 1) != 0)
    {
        strFailure = UserText(IDS_TOO_LONG);
        return FALSE;
    }
    // A network that wants a sign-in first answers with a page of its own,
    // which must never reach the device.
    if (IsWebPage(pImage, nDeclared))
    {
        ReleaseImage();
        strFailure = UserText(IDS_WEB_PAGE);
        return FALSE;
    }
    return TRUE;
}

UINT AFX_CDECL DownloadThreadProc(LPVOID pParam)
{
    const CWorkerStart start = TakeWorkerStart(pParam);
    CString strFailure;
    // A fixed text, for a failure that may leave no memory for a text of its own.
    UINT nFailureId = 0;
    LPCWSTR pszFailureEnglish = nullptr;
    BOOL bDownloaded = FALSE;

    try
    {
        CUpdateRequest request;
        request.Send(start.m_hWnd);
        if (request.Classify(strFailure))
        {
            const UINT32 nDeclared = request.QueryDeclaredLength();
            start.Report(UWM_DOWNLOAD_BEGIN);
            bDownloaded = DownloadImage(request.GetFile(), nDeclared, start, strFailure);
        }
    }
    catch (CInternetException* pException)
    {
        WCHAR szError[ERROR_TEXT_CHARS];
        pException->GetErrorMessage(szError, ERROR_TEXT_CHARS);
        // Without WinInet there is no text of the platform's, only the
        // framework's English one.
        strFailure = CInternetLibrary::Load() != nullptr ? CString(szError) : UserText(IDS_NO_INTERNET_LIBRARY);
        // The platform's texts end with a line break, which the box would
        // show as an empty line.
        strFailure.TrimRight();
        // With no text the box would say nothing, so name the code at least.
        if (strFailure.IsEmpty())
            strFailure.Format(UserText(IDS_INTERNET_ERROR_FORMAT), static_cast<int>(pException->m_dwError));
        pException->Delete();
    }
    catch (const std::bad_alloc&)
    {
        nFailureId = IDS_NO_MEMORY;
        pszFailureEnglish = NO_MEMORY_TEXT;
    }
    catch (...)
    {
        nFailureId = IDS_INTERNAL_ERROR;
        pszFailureEnglish = INTERNAL_ERROR_TEXT;
    }

    if (bDownloaded)
    {
        start.Report(UWM_DOWNLOAD_COMPLETE, 1);
        return 0;
    }
    start.Report(UWM_FAILURE_SHOWN);
    if (nFailureId != 0)
        UserTextBox(nFailureId, pszFailureEnglish);
    else
        AfxMessageBox(strFailure, MB_OK);
    start.Report(UWM_DOWNLOAD_COMPLETE, 0);
    return 0;
}
