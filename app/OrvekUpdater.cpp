// The application object, start-up, and the notification identifiers.
#include "app/OrvekUpdater.h"
#include "app/Notifications.h"
#include "ui/OrvekUpdaterDlg.h"

// The application object comes first, then the six identifiers, in this
// order: one translation unit initialises in order of definition.
COrvekUpdaterApp theApp;

UINT UWM_DOWNLOAD_BEGIN = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_BEGIN");
UINT UWM_DOWNLOAD_PROGRESS = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_PROGRESS");
UINT UWM_DOWNLOAD_COMPLETE = ::RegisterWindowMessageW(L"UWM_DOWNLOAD_COMPLETE");
UINT UWM_UPDATE_BEGIN = ::RegisterWindowMessageW(L"UWM_UPDATE_BEGIN");
UINT UWM_UPDATE_PROGRESS = ::RegisterWindowMessageW(L"UWM_UPDATE_PROGRESS");
UINT UWM_UPDATE_COMPLETE = ::RegisterWindowMessageW(L"UWM_UPDATE_COMPLETE");

BEGIN_MESSAGE_MAP(COrvekUpdaterApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL COrvekUpdaterApp::InitInstance()
{
    INITCOMMONCONTROLSEX initControls;
    initControls.dwSize = sizeof(initControls);
    initControls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&initControls);

    CWinAppEx::InitInstance();

    AfxEnableControlContainer();

    COrvekUpdaterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // No message loop of our own: the program ends with the window.
    return FALSE;
}
