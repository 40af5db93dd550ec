// The system is kept awake from the click until the update has ended or a
// failure box says it has, and released on every way out of it; log-off
// waits only while the image is being written.
#include <string>
#include "app/Notifications.h"
#include "Fixture.h"

namespace
{
constexpr EXECUTION_STATE kHeld = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
constexpr EXECUTION_STATE kReleased = ES_CONTINUOUS;

struct CStep
{
    const char* m_pszWhat;
    UINT m_nMessage;  // a worker's report, or 0 to unplug or plug the device
    WPARAM m_wParam;
    int m_nState;
    EXECUTION_STATE m_state;
    // The answer to WM_QUERYENDSESSION.
    BOOL m_bSessionMayEnd;
};

using WindowKeepAwakeTest = CWindowFixture;
}

TEST_F(WindowKeepAwakeTest, HeldWhileDownloadingAndWritingReleasedInEveryOtherState)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    EXPECT_EQ(m_run.ExecutionState(), kReleased) << "at the start";

    const CStep arrSteps[] = {
        { "download", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld, TRUE },
        { "download's failure box", UWM_FAILURE_SHOWN, 0, STATE_DOWNLOADING, kReleased, TRUE },
        { "failed download", UWM_DOWNLOAD_COMPLETE, 0, STATE_CONNECTED, kReleased, TRUE },
        { "download again", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld, TRUE },
        { "write", UWM_UPDATE_BEGIN, 0, STATE_UPDATING, kHeld, FALSE },
        { "write's failure box", UWM_FAILURE_SHOWN, 0, STATE_UPDATING, kReleased, TRUE },
        { "failed write", UWM_UPDATE_COMPLETE, 0, STATE_CONNECTED, kReleased, TRUE },
        { "download after it", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld, TRUE },
        { "unplugged", 0, 0, STATE_DISCONNECTED, kReleased, TRUE },
        { "plugged in again", 0, 0, STATE_CONNECTED, kReleased, TRUE },
        { "download once more", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld, TRUE },
        { "write", UWM_UPDATE_BEGIN, 0, STATE_UPDATING, kHeld, FALSE },
        { "done", UWM_UPDATE_COMPLETE, 1, STATE_DONE, kReleased, TRUE },
    };
    for (const CStep& step : arrSteps)
    {
        if (step.m_nMessage != 0)
        {
            m_run.Notify(step.m_nMessage, step.m_wParam);
        }
        else
        {
            const bool bDone = step.m_nState == STATE_DISCONNECTED ? m_sim.Unplug(DEVICE_NAME) : m_sim.Plug(DEVICE_NAME);
            ASSERT_TRUE(bDone) << m_sim.LastReply();
            ASSERT_TRUE(m_run.WaitForState(step.m_nState, POLL_DEADLINE_MS)) << step.m_pszWhat;
        }
        ASSERT_EQ(m_run.State(), step.m_nState) << step.m_pszWhat;
        EXPECT_EQ(m_run.ExecutionState(), step.m_state) << step.m_pszWhat;
        EXPECT_EQ(::SendMessageW(m_run.Window(), WM_QUERYENDSESSION, 0, 0), step.m_bSessionMayEnd) << step.m_pszWhat;
    }
}
