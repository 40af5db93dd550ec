// The poll timer: while idle the window follows the device being plugged in
// and out, a tick that finds nothing new touches no control, a download is
// watched for the device going away, and the transfer and the finished
// window are never probed.
#include "app/UserTexts.h"
#include <string>
#include <vector>
#include "app/Notifications.h"
#include "resource.h"
#include "Fixture.h"

namespace
{
std::string Joined(const std::vector<std::string>& arrLines)
{
    std::string str;
    for (const std::string& strLine : arrLines)
        str += strLine + "\n";
    return str;
}

using WindowPollTest = CWindowFixture;

class WindowIdlePollTest : public CWindowFixture, public ::testing::WithParamInterface<bool>
{
};

class WindowNoProbeTest : public CWindowFixture, public ::testing::WithParamInterface<int>
{
};
}

TEST_F(WindowPollTest, PluggingAndUnpluggingWhileIdleSwitchesEachTime)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    for (int nRound = 0; nRound < 2; ++nRound)
    {
        ASSERT_TRUE(m_sim.Plug(DEVICE_NAME)) << m_sim.LastReply();
        ASSERT_TRUE(m_run.WaitForState(STATE_CONNECTED, POLL_DEADLINE_MS)) << "round " << nRound;
        EXPECT_EQ(m_run.ShownControls(), kStatusAndButton);
        EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), CONNECTED_TEXT);

        ASSERT_TRUE(m_sim.Unplug(DEVICE_NAME)) << m_sim.LastReply();
        ASSERT_TRUE(m_run.WaitForState(STATE_DISCONNECTED, POLL_DEADLINE_MS)) << "round " << nRound;
        EXPECT_EQ(m_run.ShownControls(), kInstruction);
        EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), SWITCH_TO_DL_TEXT);
    }
}

TEST_F(WindowPollTest, ADeviceThatIsListedButDoesNotOpenCountsAsAbsent)
{
    ASSERT_NO_FATAL_FAILURE(StartSimulator(true));
    ASSERT_TRUE(m_sim.RefuseInterface(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_TRUE(m_run.Open());
    EXPECT_EQ(m_run.State(), STATE_DISCONNECTED);

    ASSERT_TRUE(m_sim.AcceptInterface(DEVICE_NAME)) << m_sim.LastReply();
    EXPECT_TRUE(m_run.WaitForState(STATE_CONNECTED, POLL_DEADLINE_MS));
}

TEST_P(WindowIdlePollTest, TicksThatFindNothingNewTouchNoControl)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(GetParam()));
    const std::vector<int> arrShown = m_run.ShownControls();
    // A text the window never sets: a rewrite would replace it.
    ::SetWindowTextW(m_run.Control(IDC_STATIC_STATUS), L"sentinel");
    const size_t nEvents = m_run.Log().ControlEvents().size();
    const unsigned long nProbes = m_sim.EnumerationCount();

    ASSERT_NO_FATAL_FAILURE(WaitForTicks(3));
    EXPECT_GE(m_sim.EnumerationCount(), nProbes + 3) << "every idle tick probes";
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), L"sentinel");
    EXPECT_EQ(m_run.ShownControls(), arrShown);
    const std::vector<std::string> arrEvents = m_run.Log().ControlEvents();
    EXPECT_EQ(arrEvents.size(), nEvents) << Joined(arrEvents);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutDevice, WindowIdlePollTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Connected" : "Disconnected";
                         });

TEST_F(WindowPollTest, DownloadIsWatchedEndsInDisconnectedWhenTheDeviceGoesAndIsShownAgainOnAClick)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_DOWNLOAD_PROGRESS, 25);
    const size_t nEvents = m_run.Log().ControlEvents().size();
    const unsigned long nProbes = m_sim.EnumerationCount();

    // With the device there the download goes on untouched.
    ASSERT_NO_FATAL_FAILURE(WaitForTicks(2));
    EXPECT_GE(m_sim.EnumerationCount(), nProbes + 2);
    EXPECT_EQ(m_run.State(), STATE_DOWNLOADING);
    EXPECT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOADING_TEXT);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 25);
    EXPECT_EQ(m_run.Log().ControlEvents().size(), nEvents) << Joined(m_run.Log().ControlEvents());

    ASSERT_TRUE(m_sim.Unplug(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_TRUE(m_run.WaitForState(STATE_DISCONNECTED, POLL_DEADLINE_MS));
    EXPECT_EQ(m_run.ShownControls(), kInstruction);
    EXPECT_EQ(m_run.Text(IDC_STATIC_STATUS), SWITCH_TO_DL_TEXT);

    // Back again, the device offers the button; the download, still running
    // unseen, takes the click and shows its bars as they are.
    ASSERT_TRUE(m_sim.Plug(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_TRUE(m_run.WaitForState(STATE_CONNECTED, POLL_DEADLINE_MS));
    ::SendMessageW(m_run.Window(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(m_run.State(), STATE_DOWNLOADING);
    EXPECT_EQ(m_run.ShownControls(), kProgress);
    EXPECT_EQ(m_run.Text(IDC_STATIC_DOWNLOAD), DOWNLOADING_TEXT);
    EXPECT_EQ(m_run.Position(IDC_PROGRESS_DOWNLOAD), 25);
}

TEST_P(WindowNoProbeTest, NoTickProbesTheDevice)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(true));
    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    m_run.Notify(UWM_UPDATE_BEGIN);
    if (GetParam() == STATE_DONE)
        m_run.Notify(UWM_UPDATE_COMPLETE, 1);
    ASSERT_EQ(m_run.State(), GetParam());
    const std::vector<int> arrShown = m_run.ShownControls();
    const size_t nEvents = m_run.Log().ControlEvents().size();
    const unsigned long nProbes = m_sim.EnumerationCount();

    // Not even a device that goes away is noticed.
    ASSERT_TRUE(m_sim.Unplug(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(WaitForTicks(3));
    EXPECT_EQ(m_sim.EnumerationCount(), nProbes);
    EXPECT_EQ(m_run.State(), GetParam());
    EXPECT_EQ(m_run.ShownControls(), arrShown);
    EXPECT_EQ(m_run.Log().ControlEvents().size(), nEvents) << Joined(m_run.Log().ControlEvents());
}

INSTANTIATE_TEST_SUITE_P(TransferAndDone, WindowNoProbeTest, ::testing::Values(STATE_UPDATING, STATE_DONE),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == STATE_UPDATING ? "Updating" : "Done";
                         });
