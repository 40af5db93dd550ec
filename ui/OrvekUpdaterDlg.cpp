// The updater window: its states, the poll, and the update flow.
#include "ui/OrvekUpdaterDlg.h"
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/TextLanguage.h"
#include "app/UserText.h"
#include "app/WorkerStart.h"
#include "device/DeviceDiscovery.h"
#include "device/FirmwareTransfer.h"
#include "download/DownloadWorker.h"
#include "framework/MessageFilter.h"
#include "framework/WindowDpi.h"
#include "resource.h"


// Sent by the taskbar once it has made the window's button.
static UINT WM_TASKBARBUTTONCREATED = ::RegisterWindowMessageW(L"TaskbarButtonCreated");

UINT g_nPollPeriodMs = POLL_PERIOD_MS;

BEGIN_MESSAGE_MAP(COrvekUpdaterDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_QUERYENDSESSION()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_ACTIVATE, OnActivate)
    ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
    ON_REGISTERED_MESSAGE(WM_TASKBARBUTTONCREATED, OnTaskbarButtonCreated)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_BEGIN, OnDownloadBegin)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_PROGRESS, OnDownloadProgress)
    ON_REGISTERED_MESSAGE(UWM_DOWNLOAD_COMPLETE, OnDownloadComplete)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_BEGIN, OnUpdateBegin)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_PROGRESS, OnUpdateProgress)
    ON_REGISTERED_MESSAGE(UWM_UPDATE_COMPLETE, OnUpdateComplete)
    ON_REGISTERED_MESSAGE(UWM_FAILURE_SHOWN, OnFailureShown)
END_MESSAGE_MAP()

COrvekUpdaterDlg::COrvekUpdaterDlg()
    : CDialog(IDD_UPDATER_DIALOG, nullptr),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_nState(STATE_NONE),
      m_nWorker(WORKER_NONE),
      m_lWorkerToken(0),
      m_bAskingToStop(false),
      m_bFailureShown(false)
{
}

COrvekUpdaterDlg::~COrvekUpdaterDlg() = default;

void COrvekUpdaterDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_STATIC_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_PICTURE, m_picture);
    DDX_Control(pDX, IDOK, m_btnUpdate);
    DDX_Control(pDX, IDC_PROGRESS_DOWNLOAD, m_progressDownload);
    DDX_Control(pDX, IDC_PROGRESS_UPDATE, m_progressUpdate);
    DDX_Control(pDX, IDC_STATIC_DOWNLOAD, m_staticDownload);
    DDX_Control(pDX, IDC_STATIC_UPDATE, m_staticUpdate);
}

BOOL COrvekUpdaterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    m_btnUpdate.SetWindowText(UserText(IDS_UPDATE_BUTTON));
    m_layout.Attach(*this, m_picture);
    m_layout.Fit(GetWindowDpi(m_hWnd));
    // Run as administrator, the window would not hear from Explorer.
    AllowMessageThroughFilter(m_hWnd, WM_TASKBARBUTTONCREATED);

    m_picture.SetAltText(UserText(IDS_PICTURE));
    m_accessibility.SetName(m_picture, UserText(IDS_PICTURE));
    m_accessibility.MakeLive(m_staticStatus);
    m_accessibility.MakeLive(m_staticDownload);
    m_accessibility.MakeLive(m_staticUpdate);

    SetState(STATE_NONE);

    SetTimer(ID_TIMER_POLL, g_nPollPeriodMs, nullptr);
    // SetState has placed the focus; the dialog manager's choice would be
    // the picture, shown or not.
    return FALSE;
}

bool COrvekUpdaterDlg::IsDeviceConnected()
{
    HANDLE hDevice = OpenDevice();
    if (hDevice == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(hDevice);
    return true;
}

void COrvekUpdaterDlg::SetState(int nState)
{
    if (nState == STATE_NONE)
        nState = IsDeviceConnected() ? STATE_CONNECTED : STATE_DISCONNECTED;

    if (nState == m_nState)
        return;

    m_staticStatus.ShowWindow(SW_HIDE);
    m_picture.ShowWindow(SW_HIDE);
    m_btnUpdate.ShowWindow(SW_HIDE);
    m_progressDownload.ShowWindow(SW_HIDE);
    m_progressUpdate.ShowWindow(SW_HIDE);
    m_staticDownload.ShowWindow(SW_HIDE);
    m_staticUpdate.ShowWindow(SW_HIDE);

    GuardUpdate(nState);
    m_nState = nState;

    switch (nState)
    {
    case STATE_DISCONNECTED:
        m_staticStatus.ShowWindow(SW_SHOW);
        SetStatusText(UserText(IDS_SWITCH_TO_DL));
        m_picture.ShowWindow(SW_SHOW);
        break;
    case STATE_CONNECTED:
        m_staticStatus.ShowWindow(SW_SHOW);
        SetStatusText(UserText(IDS_CONNECTED));
        m_btnUpdate.ShowWindow(SW_SHOW);
        break;
    case STATE_DOWNLOADING:
        // A new attempt shows nothing of the last one's bars; a download
        // that ran on unseen shows its own.
        if (m_nWorker != WORKER_DOWNLOAD)
        {
            SetCaption(m_staticDownload, m_progressDownload, UserText(IDS_DOWNLOAD_NOT_STARTED));
            m_progressDownload.SetPos(0);
        }
        [[fallthrough]];
    case STATE_UPDATING:
        SetCaption(m_staticUpdate, m_progressUpdate, UserText(IDS_UPDATE_NOT_STARTED));
        m_progressUpdate.SetPos(0);
        m_progressDownload.ShowWindow(SW_SHOW);
        m_progressUpdate.ShowWindow(SW_SHOW);
        m_staticDownload.ShowWindow(SW_SHOW);
        m_staticUpdate.ShowWindow(SW_SHOW);
        break;
    case STATE_DONE:
        m_staticStatus.ShowWindow(SW_SHOW);
        SetStatusText(UserText(IDS_UPDATED));
        m_btnUpdate.ShowWindow(SW_SHOW);
        m_btnUpdate.SetWindowText(UserText(IDS_DONE_BUTTON));
        break;
    default:
        break;
    }
    FocusState();
    ShowTaskbarProgress();
}

void COrvekUpdaterDlg::SetStatusText(LPCWSTR pszText)
{
    m_staticStatus.SetWindowText(pszText);
    CAccessibility::Announce(m_staticStatus);
}

void COrvekUpdaterDlg::SetCaption(CStatic& caption, CProgressCtrl& bar, LPCWSTR pszText)
{
    caption.SetWindowText(pszText);
    // A bar's own text is its name to screen readers; it draws none.
    bar.SetWindowText(pszText);
    m_accessibility.SetName(bar, pszText);
    CAccessibility::Announce(caption);
}

void COrvekUpdaterDlg::ShowTaskbarProgress()
{
    if (m_bFailureShown)
        m_taskbarButton.ShowError();
    else if (m_nState == STATE_DOWNLOADING)
        m_taskbarButton.ShowProgress(m_progressDownload.GetPos());
    else if (m_nState == STATE_UPDATING)
        m_taskbarButton.ShowProgress(m_progressUpdate.GetPos());
    else
        m_taskbarButton.ShowNoProgress();
}

void COrvekUpdaterDlg::OnDestroy()
{
    m_layout.Detach();
    m_accessibility.Clear();
    CDialog::OnDestroy();
}

LRESULT COrvekUpdaterDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // A per-monitor aware dialog is laid out anew by the platform's own
    // handling; the picture and the icon are this window's.
    Default();
    const RECT* pSuggested = reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(m_hWnd, nullptr, pSuggested->left, pSuggested->top, pSuggested->right - pSuggested->left,
                   pSuggested->bottom - pSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_layout.Fit(LOWORD(wParam));
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

LRESULT COrvekUpdaterDlg::OnTaskbarButtonCreated(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    m_taskbarButton.OnButtonCreated(m_hWnd);
    return 0;
}

LRESULT COrvekUpdaterDlg::OnFailureShown(WPARAM /*wParam*/, LPARAM lParam)
{
    if (!IsReportOf(m_nWorker, lParam))
        return 0;
    // Nothing is written from here on: the system may sleep and the
    // session end while the box is up.
    m_bFailureShown = true;
    GuardUpdate(STATE_NONE);
    ShowTaskbarProgress();
    m_taskbarButton.FlashUntilActive(m_hWnd);
    return 0;
}

// Hiding the button moved the focus to the window itself, where Space does
// nothing and no focus rectangle shows. While a box of this thread is up,
// the focus stays in the box.
void COrvekUpdaterDlg::FocusButton()
{
    const HWND hWndActive = ::GetActiveWindow();
    if (hWndActive == m_hWnd || hWndActive == nullptr)
        GotoDlgCtrl(&m_btnUpdate);
}

void COrvekUpdaterDlg::FocusState()
{
    if (m_btnUpdate.IsWindowVisible())
    {
        FocusButton();
        return;
    }
    const HWND hWndActive = ::GetActiveWindow();
    if (hWndActive != m_hWnd && hWndActive != nullptr)
        return;
    // SetState hides the controls before it stores the new state: here a
    // hidden one is left alone and the window itself keeps the focus.
    CWnd* pTarget = &m_staticStatus;
    if (m_nState == STATE_DOWNLOADING)
        pTarget = &m_progressDownload;
    else if (m_nState == STATE_UPDATING)
        pTarget = &m_progressUpdate;
    if (pTarget->IsWindowVisible())
        GotoDlgCtrl(pTarget);
}

LRESULT COrvekUpdaterDlg::OnActivate(WPARAM wParam, LPARAM /*lParam*/)
{
    // The dialog manager gives back the focus it kept, which the states
    // shown meanwhile may have hidden.
    const LRESULT lResult = Default();
    if (LOWORD(wParam) != WA_INACTIVE && !IsIconic())
        FocusState();
    return lResult;
}

LRESULT COrvekUpdaterDlg::OnSetFocus(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    // The dialog manager would pass the focus on to its first control even
    // while SetState has every control hidden; the window keeps it then.
    FocusState();
    return 0;
}

void COrvekUpdaterDlg::GuardUpdate(int nNewState)
{
    const bool bRunning = nNewState == STATE_DOWNLOADING || nNewState == STATE_UPDATING;
    ::SetThreadExecutionState(bRunning ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
    if (m_nState == STATE_UPDATING)
        ::ShutdownBlockReasonDestroy(m_hWnd);
    else if (nNewState == STATE_UPDATING)
        ::ShutdownBlockReasonCreate(m_hWnd, UserText(IDS_SHUTDOWN_REASON));
}

void COrvekUpdaterDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == ID_TIMER_POLL)
    {
        switch (m_nState)
        {
        case STATE_NONE:
        case STATE_DISCONNECTED:
        case STATE_CONNECTED:
            SetState(STATE_NONE);
            break;
        case STATE_DOWNLOADING:
            if (!IsDeviceConnected())
                SetState(STATE_DISCONNECTED);
            break;
        default:
            break;
        }
    }
    CDialog::OnTimer(nIDEvent);
}

void COrvekUpdaterDlg::OnPaint()
{
    if (IsIconic())
    {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

        const int cxIcon = ::GetSystemMetrics(SM_CXICON);
        const int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect;
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - cxIcon + 1) / 2;
        const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    }
    else
    {
        CDialog::OnPaint();
    }
}

HCURSOR COrvekUpdaterDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void COrvekUpdaterDlg::OnOK()
{
    if (m_nState == STATE_DONE)
    {
        CDialog::OnOK();
        return;
    }
    // Enter reaches here while a worker runs (the button is hidden then, or
    // shown again by the poll during a download); a second download would
    // race the first for the image buffer. A download that ran on unseen
    // while the device was away is shown again.
    if (m_nWorker == WORKER_DOWNLOAD && m_nState == STATE_CONNECTED)
        SetState(STATE_DOWNLOADING);
    if (m_nWorker != WORKER_NONE)
        return;

    SetState(STATE_DOWNLOADING);
    m_lWorkerToken = StartWorker(DownloadThreadProc, m_hWnd);
    if (m_lWorkerToken != 0)
        m_nWorker = WORKER_DOWNLOAD;
    else
        ShowStartFailure(IDS_DOWNLOAD_START_FAILED);
}

void COrvekUpdaterDlg::ShowStartFailure(UINT nTextId)
{
    SetState(STATE_NONE);
    AfxMessageBox(UserText(nTextId), MB_OK);
}

void COrvekUpdaterDlg::OnCancel()
{
    // Escape, the close box, Alt+F4 and the system menu all come here. A
    // second request while the question is up adds no second question.
    if (m_bAskingToStop)
        return;
    if (m_nState == STATE_UPDATING)
    {
        // The write goes on while the question is up; the answer counts
        // even if it has ended meanwhile.
        m_bAskingToStop = true;
        const int nAnswer = MessageBox(UserText(IDS_STOP_QUESTION), nullptr,
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | TextMessageBoxFlags());
        m_bAskingToStop = false;
        // A write that ended under the question is shown as it ended.
        if (nAnswer != IDYES || m_nState != STATE_UPDATING)
        {
            if (m_btnUpdate.IsWindowVisible())
                FocusButton();
            return;
        }
        StopTransfer();
    }
    CDialog::OnCancel();
}

BOOL COrvekUpdaterDlg::OnQueryEndSession()
{
    // An image half written can leave the device unable to start.
    return m_nState != STATE_UPDATING || m_bFailureShown;
}

bool COrvekUpdaterDlg::IsReportOf(int nWorker, LPARAM lToken) const
{
    return nWorker != WORKER_NONE && m_nWorker == nWorker && lToken == m_lWorkerToken;
}

LRESULT COrvekUpdaterDlg::OnDownloadBegin(WPARAM /*wParam*/, LPARAM lParam)
{
    if (!IsReportOf(WORKER_DOWNLOAD, lParam))
        return 0;
    SetState(STATE_DOWNLOADING);
    m_progressDownload.SetPos(0);
    SetCaption(m_staticDownload, m_progressDownload, UserText(IDS_DOWNLOADING));
    ShowTaskbarProgress();
    return 0;
}

LRESULT COrvekUpdaterDlg::OnDownloadProgress(WPARAM wParam, LPARAM lParam)
{
    if (!IsReportOf(WORKER_DOWNLOAD, lParam))
        return 0;
    m_progressDownload.SetPos(static_cast<int>(wParam));
    ShowTaskbarProgress();
    return 0;
}

LRESULT COrvekUpdaterDlg::OnDownloadComplete(WPARAM wParam, LPARAM lParam)
{
    if (!IsReportOf(WORKER_DOWNLOAD, lParam))
        return 0;
    if (wParam == 0)
    {
        m_nWorker = WORKER_NONE;
        m_bFailureShown = false;
        SetState(STATE_NONE);
        ShowTaskbarProgress();
        return 0;
    }

    m_progressDownload.SetPos(100);
    SetCaption(m_staticDownload, m_progressDownload, UserText(IDS_DOWNLOAD_COMPLETE));
    if (IsDeviceConnected())
    {
        // The write may start before the worker's first report: from here
        // on, closing asks and log-off and sleep wait.
        SetState(STATE_UPDATING);
        m_lWorkerToken = StartWorker(UpdateThreadProc, m_hWnd);
        if (m_lWorkerToken != 0)
        {
            m_nWorker = WORKER_TRANSFER;
        }
        else
        {
            ReleaseImage();
            m_nWorker = WORKER_NONE;
            ShowStartFailure(IDS_TRANSFER_START_FAILED);
        }
        return 0;
    }
    // Nobody will write this image out; a new click downloads afresh.
    ReleaseImage();
    m_nWorker = WORKER_NONE;
    SetState(STATE_DISCONNECTED);
    return 0;
}

LRESULT COrvekUpdaterDlg::OnUpdateBegin(WPARAM /*wParam*/, LPARAM lParam)
{
    if (!IsReportOf(WORKER_TRANSFER, lParam))
        return 0;
    SetState(STATE_UPDATING);
    m_progressUpdate.SetPos(0);
    SetCaption(m_staticUpdate, m_progressUpdate, UserText(IDS_UPDATING));
    ShowTaskbarProgress();
    return 0;
}

LRESULT COrvekUpdaterDlg::OnUpdateProgress(WPARAM wParam, LPARAM lParam)
{
    if (!IsReportOf(WORKER_TRANSFER, lParam))
        return 0;
    m_progressUpdate.SetPos(static_cast<int>(wParam));
    ShowTaskbarProgress();
    return 0;
}

LRESULT COrvekUpdaterDlg::OnUpdateComplete(WPARAM wParam, LPARAM lParam)
{
    if (!IsReportOf(WORKER_TRANSFER, lParam))
        return 0;
    m_nWorker = WORKER_NONE;
    if (wParam == 0)
    {
        // The transfer failed and the worker has told the user; back to
        // connected or disconnected, so that the user can try again.
        m_bFailureShown = false;
        SetState(STATE_NONE);
        ShowTaskbarProgress();
        return 0;
    }
    m_progressUpdate.SetPos(100);
    SetCaption(m_staticUpdate, m_progressUpdate, UserText(IDS_UPDATE_COMPLETE));
    SetState(STATE_DONE);
    m_taskbarButton.FlashUntilActive(m_hWnd);
    return 0;
}
