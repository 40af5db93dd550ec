// The updater window's states: which controls each shows and with what
// texts, reached through SetState and through the workers' notifications.
#include "app/UserTexts.h"
#include <algorithm>
#include <vector>
#include "app/ImageBuffer.h"
#include "app/Notifications.h"
#include "app/WorkerStart.h"
#include "resource.h"
#include "support/Controls.h"
#include "support/WindowSearch.h"
#include "support/WineQuirks.h"
#include "support/WinEventLog.h"
#include "Fixture.h"
#include "support/WindowUnderTest.h"

namespace
{

using WindowStatesTest = CWindowFixture;

// A system that starts no thread.
CWinThread* AFXAPI NoThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES)
{
    return nullptr;
}
}

TEST_F(WindowStatesTest, OpensWithoutDeviceShowingTheInstructionAndPicture)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    EXPECT_EQ(m_run.State(), STATE_DISCONNECTED);
    EXPECT_EQ(m_run.ShownControls(), kInstruction);
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), SWITCH_TO_DL_TEXT);

    RECT rectWork;
    RECT rectWindow;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rectWork, 0));
    ASSERT_TRUE(::GetWindowRect(m_run.Window(), &rectWindow));
    EXPECT_NEAR((rectWindow.left + rectWindow.right) / 2, (rectWork.left + rectWork.right) / 2, 2);
    EXPECT_NEAR((rectWindow.top + rectWindow.bottom) / 2, (rectWork.top + rectWork.bottom) / 2, 2);
}

TEST_F(WindowStatesTest, OpensWithDeviceShowingConnectedAndTheButtonUnderTheAppIcon)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    EXPECT_EQ(m_run.State(), STATE_CONNECTED);
    EXPECT_EQ(m_run.ShownControls(), kStatusAndButton);
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), CONNECTED_TEXT);
    EXPECT_EQ(m_run.Text(IDOK), L"Update Orvek Now!");

    const HICON hBig = reinterpret_cast<HICON>(::SendMessageW(m_run.Window(), WM_GETICON, ICON_BIG, 0));
    const HICON hSmall = reinterpret_cast<HICON>(::SendMessageW(m_run.Window(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(hBig, nullptr);
    EXPECT_NE(hSmall, nullptr);
    // The image shown while the minimised window is dragged.
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(m_run.Window(), WM_QUERYDRAGICON, 0, 0)), hBig);
}

TEST_F(WindowStatesTest, DownloadingShowsBothBarsAtZeroWithNotStartedCaptions)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    // A write that failed at 50 % leaves its bars behind; the next attempt
    // starts from nothing.
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 100);
    m_run.Notify(UWM_UPDATE_BEGIN);
    m_run.Notify(UWM_UPDATE_PROGRESS, 50);
    m_run.Notify(UWM_UPDATE_COMPLETE, 0);
    ASSERT_EQ(m_run.State(), STATE_CONNECTED);
    m_run.SetState(STATE_DOWNLOADING);
    EXPECT_EQ(m_run.State(), STATE_DOWNLOADING);
    EXPECT_EQ(m_run.ShownControls(), kProgress);
    EXPECT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOAD_NOT_STARTED_TEXT);
    EXPECT_EQ(m_run.Text(IDC_STATIC_UPDATE), UPDATE_NOT_STARTED_TEXT);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 0);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_UPDATE), 0);
    // The status line is hidden but keeps its last text.
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), CONNECTED_TEXT);
}

TEST_F(WindowStatesTest, DownloadingAgainLeavesEveryControlAlone)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 30);
    ASSERT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOADING_TEXT);

    const size_t nEvents = m_run.Log().ControlEvents().size();
    m_run.SetState(STATE_DOWNLOADING);
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    EXPECT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOADING_TEXT);
    EXPECT_EQ(m_run.Text(IDC_STATIC_UPDATE), UPDATE_NOT_STARTED_TEXT);
    EXPECT_EQ(m_run.ShownControls(), kProgress);
    // Only the second begin's own caption reaches a control, and its bar's name.
    const std::vector<std::string> arrEvents = m_run.Log().ControlEvents();
    ASSERT_EQ(arrEvents.size(), nEvents + 2);
    EXPECT_EQ(arrEvents[nEvents], "settext 1004 Downloading updates from the Internet...");
    EXPECT_EQ(arrEvents.back(), "settext 1002 Downloading updates from the Internet...");
}

TEST_F(WindowStatesTest, UpdatingKeepsTheDownloadCaptionAndBar)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 40);
    m_run.SetState(STATE_UPDATING);
    EXPECT_EQ(m_run.State(), STATE_UPDATING);
    EXPECT_EQ(m_run.ShownControls(), kProgress);
    EXPECT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOADING_TEXT);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 40);
    EXPECT_EQ(m_run.Text(IDC_STATIC_UPDATE), UPDATE_NOT_STARTED_TEXT);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_UPDATE), 0);
}

TEST_F(WindowStatesTest, TransferReportsLeadThroughUpdatingToDone)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 100);
    m_run.Notify(UWM_UPDATE_BEGIN);
    EXPECT_EQ(m_run.State(), STATE_UPDATING);
    EXPECT_EQ(m_run.ShownControls(), kProgress);
    EXPECT_EQ(m_run.Text(IDC_STATIC_UPDATE), UPDATING_TEXT);
    m_run.Notify(UWM_UPDATE_PROGRESS, 60);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_UPDATE), 60);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 100);

    m_run.Notify(UWM_UPDATE_COMPLETE, 1);
    EXPECT_EQ(m_run.State(), STATE_DONE);
    EXPECT_EQ(m_run.ShownControls(), kStatusAndButton);
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), UPDATED_TEXT);
    EXPECT_EQ(m_run.Text(IDOK), DONE_BUTTON_TEXT);
    EXPECT_EQ(m_run.Text(IDC_STATIC_UPDATE), UPDATE_COMPLETE_TEXT);
}

// The transfer worker may write before its first report: the window is in
// the write's state (closing asks, log-off and sleep wait) from its start.
TEST_F(WindowStatesTest, DownloadCompletionEntersTheWriteBeforeTheWorkerReports)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    g_nImageSize = 3072;
    g_pImage = new BYTE[g_nImageSize]();
    EXPECT_EQ(::SendMessageW(m_run.Window(), WM_TEST_COMPLETE_DOWNLOAD, 0, 0), STATE_UPDATING);
    EXPECT_TRUE(m_run.WaitForState(STATE_DONE, POLL_DEADLINE_MS)) << "the transfer did not finish";
}

TEST_F(WindowStatesTest, ShownButtonTakesTheKeyboardFocus)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    m_run.SetState(STATE_CONNECTED);
    EXPECT_EQ(m_run.Focus(), m_run.Control(IDOK));
    m_run.SetState(STATE_DOWNLOADING);
    EXPECT_NE(m_run.Focus(), m_run.Control(IDOK));
    m_run.SetState(STATE_DONE);
    EXPECT_EQ(m_run.Focus(), m_run.Control(IDOK));
    EXPECT_EQ(::GetWindowLongW(m_run.Control(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(WindowStatesTest, ButtonShownWhileAnotherWindowIsActiveTakesNoFocusFromIt)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    HWND hOther = ::CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOther, nullptr);
    ::SetForegroundWindow(hOther);
    ASSERT_EQ(::GetForegroundWindow(), hOther);

    m_run.SetState(STATE_CONNECTED);
    EXPECT_EQ(::GetForegroundWindow(), hOther);

    ::SetForegroundWindow(m_run.Window());
    EXPECT_EQ(m_run.Focus(), m_run.Control(IDOK));
    ::DestroyWindow(hOther);
}

TEST_F(WindowStatesTest, SwitchingHidesEverythingShownBeforeShowingTheNewState)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    const size_t nEvents = m_run.Log().ControlEvents().size();
    m_run.SetState(STATE_DOWNLOADING);
    m_run.SetState(STATE_DISCONNECTED);
    std::vector<std::string> arrEvents = m_run.Log().ControlEvents();
    arrEvents.erase(arrEvents.begin(), arrEvents.begin() + static_cast<std::ptrdiff_t>(nEvents));
    const std::vector<std::string> kExpected = {
        "show 1006 0", "show 1 0",
        "settext 1004 Download not started.", "settext 1002 Download not started.",
        "settext 1005 Update not started.", "settext 1003 Update not started.",
        "show 1002 1", "show 1003 1", "show 1004 1", "show 1005 1",
        "show 1002 0", "show 1003 0", "show 1004 0", "show 1005 0",
        "show 1006 1", "settext 1006 Switch Orvek to D/L mode and connect it to your computer.", "show 1000 1",
    };
    EXPECT_EQ(arrEvents, kExpected);
}

// The messages are registered by name, so any program can send them: a
// report without the token of the worker the window runs changes nothing in
// any state, not even a completion that would start a transfer or end the
// program.
TEST_F(WindowStatesTest, StrayReportsChangeNothing)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    const UINT arrReports[] = { UWM_DOWNLOAD_BEGIN, UWM_DOWNLOAD_PROGRESS, UWM_DOWNLOAD_COMPLETE, UWM_UPDATE_BEGIN,
                                UWM_UPDATE_PROGRESS, UWM_UPDATE_COMPLETE, UWM_FAILURE_SHOWN };
    const struct
    {
        int nState;
        int nWorker;
    } rows[] = {
        { STATE_CONNECTED, WORKER_NONE },
        { STATE_DOWNLOADING, WORKER_DOWNLOAD },
        { STATE_CONNECTED, WORKER_DOWNLOAD },  // the device was away for a while
        { STATE_UPDATING, WORKER_TRANSFER },
        { STATE_DONE, WORKER_NONE },
    };
    for (const auto& row : rows)
    {
        m_run.SetState(row.nState);
        const LPARAM lOld = m_run.SetWorker(row.nWorker);
        const LPARAM lToken = m_run.SetWorker(row.nWorker);
        const EXECUTION_STATE executionState = m_run.ExecutionState();
        const size_t nEvents = m_run.Log().ControlEvents().size();
        for (const LPARAM lStray : { LPARAM(0), lOld, lToken ^ 0x100, ~lToken })
        {
            for (UINT nMessage : arrReports)
            {
                for (WPARAM wParam : { 0, 1, 77 })
                    ::SendMessageW(m_run.Window(), nMessage, wParam, lStray);
            }
        }
        SCOPED_TRACE("state " + std::to_string(row.nState) + ", worker " + std::to_string(row.nWorker));
        EXPECT_EQ(m_run.State(), row.nState);
        EXPECT_EQ(m_run.Log().ControlEvents().size(), nEvents);
        EXPECT_EQ(m_run.ExecutionState(), executionState);
        EXPECT_TRUE(m_run.OwnedBoxes().empty());
        EXPECT_FALSE(m_run.WaitForEnd(0));
    }
    m_run.SetWorker(WORKER_NONE);
}

// A worker that cannot be started, or a handler that throws, is told in a
// box over the window, which goes on in the state the device's presence
// gives, with nothing held.
TEST_F(WindowStatesTest, FailureOfTheProgramItselfIsToldInABoxAndTheWindowGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    const struct
    {
        const char* pszWhat;
        UINT message;
        WPARAM wParam;
        const wchar_t* pszText;
    } rows[] = {
        { "download not started", WM_COMMAND, IDOK, DOWNLOAD_START_FAILED_TEXT },
        { "transfer not started", UWM_DOWNLOAD_COMPLETE, 1, TRANSFER_START_FAILED_TEXT },
        { "bad_alloc in a handler", WM_TEST_THROW, 1, OUT_OF_MEMORY_TEXT },
        { "other exception in a handler", WM_TEST_THROW, 0, INTERNAL_ERROR_TEXT },
    };
    g_pfnBeginWorker = NoThread;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.pszWhat);
        LPARAM lParam = 0;
        if (row.message == UWM_DOWNLOAD_COMPLETE)
        {
            g_nImageSize = 3072;
            g_pImage = new BYTE[g_nImageSize]();
            lParam = m_run.SetWorker(WORKER_DOWNLOAD);
        }
        ::PostMessageW(m_run.Window(), row.message, row.wParam, lParam);
        const HWND hBox = m_run.WaitForOwnedBox(5000);
        ASSERT_NE(hBox, nullptr) << "no box";
        EXPECT_EQ(ReadControlText(hBox, MESSAGE_TEXT_ID), row.pszText);
        EXPECT_EQ(m_run.State(), STATE_CONNECTED);
        EXPECT_EQ(m_run.ExecutionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
        EXPECT_EQ(g_pImage, nullptr) << "the image nobody will write is kept";
        ASSERT_TRUE(DismissBox(hBox, IDOK));
        // A second click is no longer taken for a worker's.
        EXPECT_EQ(m_run.ShownControls(), kStatusAndButton);
    }
    g_pfnBeginWorker = AfxBeginThread;
}

// What a screen reader hooked from outside hears through one whole update:
// each state's text as a live region when it appears, a name for every
// control shown, and the focus only ever on a shown control.
TEST_F(WindowStatesTest, AScreenReaderHearsEveryStateAndNamesEveryControl)
{
    CWinEventLog events;
    ASSERT_TRUE(events.IsInstalled());
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    // Out of context, the events reach the hook after the step, so each step
    // changes a control's text at most once, and their order is not kept.
    const struct
    {
        const char* pszStep;
        UINT message;  // 0: SetState(nState), as OnOK and the completion do
        WPARAM wParam;
        int nState;
        std::vector<std::wstring> arrAnnounced;  // "<id> <text>", sorted
        int nFocus;
    } kSteps[] = {
        { "open", 0, 0, STATE_DISCONNECTED, { L"1006 " + std::wstring(SWITCH_TO_DL_TEXT) }, IDC_STATIC_STATUS },
        { "plugged", 0, 0, STATE_CONNECTED, { L"1006 Orvek connected!" }, IDOK },
        { "click", 0, 0, STATE_DOWNLOADING, { L"1004 Download not started.", L"1005 Update not started." },
          IDC_PROGRESS_DOWNLOAD },
        { "download", UWM_DOWNLOAD_BEGIN, 0, 0, { L"1004 Downloading updates from the Internet..." },
          IDC_PROGRESS_DOWNLOAD },
        { "progress", UWM_DOWNLOAD_PROGRESS, 40, 0, {}, IDC_PROGRESS_DOWNLOAD },
        { "downloaded", 0, 0, STATE_UPDATING, { L"1005 Update not started." }, IDC_PROGRESS_UPDATE },
        { "write", UWM_UPDATE_BEGIN, 0, 0, { L"1005 Updating your Orvek with latest updates..." },
          IDC_PROGRESS_UPDATE },
        { "done", UWM_UPDATE_COMPLETE, 1, 0, { L"1005 Update complete!", L"1006 Orvek successfully updated!" }, IDOK },
    };
    size_t nSeen = 0;
    for (const auto& step : kSteps)
    {
        SCOPED_TRACE(step.pszStep);
        if (step.message != 0)
            m_run.Notify(step.message, step.wParam);
        else if (step.nState != m_run.State())
            m_run.SetState(step.nState);
        const std::vector<std::wstring> arrAll = events.Announced();
        std::vector<std::wstring> arrAnnounced(arrAll.begin() + nSeen, arrAll.end());
        nSeen = arrAll.size();
        std::sort(arrAnnounced.begin(), arrAnnounced.end());
        EXPECT_EQ(arrAnnounced, step.arrAnnounced);
        EXPECT_EQ(m_run.Focus(), m_run.Control(step.nFocus));
        EXPECT_EQ(m_run.Log().HiddenFocus(), std::vector<int>()) << "ids of hidden windows that took the focus";

        for (int nID : m_run.ShownControls())
        {
            SCOPED_TRACE(nID);
            const int nNamedBy = nID == IDC_PROGRESS_DOWNLOAD ? IDC_STATIC_DOWNLOAD
                                 : nID == IDC_PROGRESS_UPDATE ? IDC_STATIC_UPDATE
                                                              : nID;
            const std::wstring strName =
                nID == IDC_PICTURE ? PICTURE_TEXT : m_run.Text(nNamedBy);
            EXPECT_EQ(AccessibleName(m_run.Control(nID)), strName);
        }
    }
}
