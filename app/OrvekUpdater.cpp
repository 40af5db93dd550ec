// The application object, start-up, and the notification identifiers.
#include "app/OrvekUpdater.h"
#include "app/Notifications.h"
#include "app/TextLanguage.h"
#include "app/UserText.h"
#include "app/UserTexts.h"
#include "ui/OrvekUpdaterDlg.h"
#include <new>

// The application object comes first, then the identifiers, in this
// order: one translation unit initialises in order of definition.
COrvekUpdaterApp theApp;

UINT UWM_DOWNLOAD_BEGIN = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_BEGIN");
UINT UWM_DOWNLOAD_PROGRESS = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_PROGRESS");
UINT UWM_DOWNLOAD_COMPLETE = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_COMPLETE");
UINT UWM_UPDATE_BEGIN = ::RegisterWindowMessageW(L"UWM_UPDATE_BEGIN");
UINT UWM_UPDATE_PROGRESS = ::RegisterWindowMessageW(L"UWM_UPDATE_PROGRESS");
UINT UWM_UPDATE_COMPLETE = ::RegisterWindowMessageW(L"UWM_UPDATE_COMPLETE");
UINT UWM_FAILURE_SHOWN = ::RegisterWindowMessageW(L"UWM_FAILURE_SHOWN");

// The device belongs to the computer, not to one logged-on user, so the
// name is in the global namespace: an updater in another session counts too.
static const WCHAR UPDATER_MUTEX_NAME[] = L"Global\\OrvekUpdater.Running";
static const WCHAR DIALOG_CLASS[] = L"#32770";

BEGIN_MESSAGE_MAP(COrvekUpdaterApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// An updater that has just taken the lock shows its window within this time.
static const int FIND_WINDOW_TRIES = 30;
static const DWORD FIND_WINDOW_STEP_MS = 100;

// Brings the updater window of this session to the front, with the message
// box it shows, if any; false if there is none.
static bool BringRunningUpdaterForward()
{
    HWND hWnd = ::FindWindowW(DIALOG_CLASS, UPDATER_CAPTION);
    for (int nTry = 1; hWnd == nullptr && nTry < FIND_WINDOW_TRIES; ++nTry)
    {
        ::Sleep(FIND_WINDOW_STEP_MS);
        hWnd = ::FindWindowW(DIALOG_CLASS, UPDATER_CAPTION);
    }
    if (hWnd == nullptr)
        return false;
    // What was found may be one of the window's message boxes, which share its caption.
    hWnd = ::GetAncestor(hWnd, GA_ROOTOWNER);
    if (::IsIconic(hWnd))
        ::ShowWindow(hWnd, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(hWnd));
    return true;
}

int COrvekUpdaterApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    return CWinAppEx::DoMessageBox(lpszPrompt, nType | TextMessageBoxFlags(), nIDPrompt);
}

COrvekUpdaterApp::~COrvekUpdaterApp()
{
    if (m_hUpdaterMutex != nullptr)
        ::CloseHandle(m_hUpdaterMutex);
}

BOOL COrvekUpdaterApp::InitInstance()
{
    // A second updater would open the device beside the first and mix its
    // stream into the other's, so it leaves before it looks for the device.
    // Access denied means another session's updater made the mutex; any
    // other failure tells nothing, and the program runs.
    m_hUpdaterMutex = ::CreateMutexW(nullptr, FALSE, UPDATER_MUTEX_NAME);
    const DWORD dwError = ::GetLastError();
    if (m_hUpdaterMutex != nullptr ? dwError == ERROR_ALREADY_EXISTS : dwError == ERROR_ACCESS_DENIED)
    {
        // Another session's updater, or one whose window is gone, would
        // otherwise leave the user with nothing at all.
        if (!BringRunningUpdaterForward())
            AfxMessageBox(UserText(IDS_RUNNING_ELSEWHERE), MB_OK);
        return FALSE;
    }

    INITCOMMONCONTROLSEX initControls;
    initControls.dwSize = sizeof(initControls);
    initControls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&initControls);

    CWinAppEx::InitInstance();

    AfxEnableControlContainer();

    ApplyTextDirection();
    COrvekUpdaterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // No message loop of our own: the program ends with the window.
    return FALSE;
}

LRESULT COrvekUpdaterApp::ProcessWndProcException(const std::exception* e, const MSG* pMsg)
{
    if (!m_bReportingFailure)
    {
        m_bReportingFailure = true;
        if (dynamic_cast<const std::bad_alloc*>(e) != nullptr)
            UserTextBox(IDS_OUT_OF_MEMORY, OUT_OF_MEMORY_TEXT);
        else
            UserTextBox(IDS_INTERNAL_ERROR, INTERNAL_ERROR_TEXT);
        m_bReportingFailure = false;
    }
    return FailedMessageResult(pMsg);
}
