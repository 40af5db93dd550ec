// COrvekUpdaterDlg: the program's one window. It shows one of six states,
// polls for the device once a second while idle, and follows the workers'
// reports through both phases of an update.
#pragma once
#include "framework/afxwin.h"
#include "ui/Accessibility.h"
#include "ui/TaskbarButton.h"
#include "ui/TransparentImage.h"
#include "ui/WindowLayout.h"

// The window states, values of m_nState.
enum
{
    STATE_NONE = 0,          // not evaluated yet; as SetState's argument: probe
    STATE_DISCONNECTED = 1,  // no device in download mode
    STATE_CONNECTED = 2,     // a device is present; the update can start
    STATE_DOWNLOADING = 3,   // the image is being downloaded
    STATE_UPDATING = 4,      // the image is being written to the device
    STATE_DONE = 5,          // finished; the button closes the program
};

// The worker the window has running, values of m_nWorker.
enum
{
    WORKER_NONE = 0,
    WORKER_DOWNLOAD = 1,
    WORKER_TRANSFER = 2,
};

// The poll timer's id and period.
constexpr UINT_PTR ID_TIMER_POLL = 1;
constexpr UINT POLL_PERIOD_MS = 1000;
// The poll's period: POLL_PERIOD_MS, unless a test shortens it.
extern UINT g_nPollPeriodMs;

class COrvekUpdaterDlg : public CDialog
{
public:
    COrvekUpdaterDlg();
    ~COrvekUpdaterDlg() override;

    DECLARE_MESSAGE_MAP()

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // Ends the window; from the transfer's start, only if the user says so,
    // and then with the write in progress cancelled.
    void OnCancel() override;

    // Switches the window to nState; STATE_NONE probes for the device.
    void SetState(int nState);
    // Gives the shown button the keyboard focus, unless a box is up over it.
    void FocusButton();
    // Puts the keyboard focus where a screen reader reads the state: on the
    // button, or else the status line, or else the bar of the phase in view;
    // only while the window is active.
    void FocusState();
    // Sets the status line's text and has it read out.
    void SetStatusText(LPCWSTR pszText);
    // Sets a phase's caption, names its bar after it and has it read out.
    void SetCaption(CStatic& caption, CProgressCtrl& bar, LPCWSTR pszText);
    // True if a device in download mode opens.
    bool IsDeviceConnected();
    // The taskbar button follows the bar of the phase in view.
    void ShowTaskbarProgress();

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnQueryEndSession();
    void OnDestroy();
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarButtonCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnFailureShown(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateComplete(WPARAM wParam, LPARAM lParam);

    HICON m_hIcon;
    int m_nState;
    CTransparentImage m_picture;
    CButton m_btnUpdate;
    CProgressCtrl m_progressDownload;
    CProgressCtrl m_progressUpdate;
    CStatic m_staticStatus;
    CStatic m_staticDownload;
    CStatic m_staticUpdate;
    // The worker this window started that is still running: the download
    // from OnOK until its failure report or its completion without the
    // device, then the transfer until its completion report.
    int m_nWorker;
    // The token m_nWorker was started with. Reports without it are ignored:
    // the messages are registered by name, so any program can send them.
    LPARAM m_lWorkerToken;
    // The question whether to stop the write is up.
    bool m_bAskingToStop;
    // A worker's failure box is up.
    bool m_bFailureShown;
    CWindowLayout m_layout;
    CTaskbarButton m_taskbarButton;
    CAccessibility m_accessibility;

    // True for a report (its lParam) of the running worker, of kind nWorker.
    bool IsReportOf(int nWorker, LPARAM lToken) const;

private:
    // Back to what the device's presence says, then tells the user that a
    // worker could not be started.
    void ShowStartFailure(UINT nTextId);
    // Holds sleep off while an update runs, and log-off while the image is
    // written; called by SetState before m_nState becomes nNewState, and
    // with STATE_NONE to let both go.
    void GuardUpdate(int nNewState);
};
