// The system is kept awake from the click until the update has ended, and
// released on every way out of it.
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
};

using WindowKeepAwakeTest = CWindowFixture;
}

TEST_F(WindowKeepAwakeTest, HeldWhileDownloadingAndWritingReleasedInEveryOtherState)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    EXPECT_EQ(m_run.ExecutionState(), kReleased) << "at the start";

    const CStep arrSteps[] = {
        { "download", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld },
        { "failed download", UWM_DOWNLOAD_COMPLETE, 0, STATE_CONNECTED, kReleased },
        { "download again", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld },
        { "write", UWM_UPDATE_BEGIN, 0, STATE_UPDATING, kHeld },
        { "failed write", UWM_UPDATE_COMPLETE, 0, STATE_CONNECTED, kReleased },
        { "download after it", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld },
        { "unplugged", 0, 0, STATE_DISCONNECTED, kReleased },
        { "plugged in again", 0, 0, STATE_CONNECTED, kReleased },
        { "download once more", UWM_DOWNLOAD_BEGIN, 0, STATE_DOWNLOADING, kHeld },
        { "write", UWM_UPDATE_BEGIN, 0, STATE_UPDATING, kHeld },
        { "done", UWM_UPDATE_COMPLETE, 1, STATE_DONE, kReleased },
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
    }
}
