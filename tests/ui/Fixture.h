// The tests' common ground: a device simulator of the test's own, with or
// without a device plugged, and the updater window opened over it.
#pragma once
#include "app/UserTexts.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "resource.h"
#include "support/Wait.h"
#include "DeviceSimControl.h"
#include "ui/OrvekUpdaterDlg.h"
#include "support/WindowRun.h"

// The window tests' poll period: a tenth of the program's, so that a test
// waiting for a few ticks waits a tenth as long.
constexpr UINT TEST_POLL_PERIOD_MS = 100;
// Generous bound for what the poll should do within a tick or two.
constexpr DWORD POLL_DEADLINE_MS = 3000;
constexpr char DEVICE_NAME[] = "dev1";

// The controls each state shows, in the template's order, and the
// instruction's text.
inline const std::vector<int> kInstruction = { IDC_PICTURE, IDC_STATIC_STATUS };
inline const std::vector<int> kStatusAndButton = { IDOK, IDC_STATIC_STATUS };
inline const std::vector<int> kProgress = { IDC_PROGRESS_DOWNLOAD, IDC_PROGRESS_UPDATE, IDC_STATIC_DOWNLOAD,
                                            IDC_STATIC_UPDATE };

class CWindowFixture : public ::testing::Test
{
protected:
    CWindowFixture() { g_nPollPeriodMs = TEST_POLL_PERIOD_MS; }
    ~CWindowFixture() override { g_nPollPeriodMs = POLL_PERIOD_MS; }

    void StartSimulator(bool bPlugged)
    {
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
        if (bPlugged)
        {
            ASSERT_TRUE(m_sim.Plug(DEVICE_NAME)) << m_sim.LastReply();
        }
    }

    void OpenWindow(bool bPlugged)
    {
        ASSERT_NO_FATAL_FAILURE(StartSimulator(bPlugged));
        ASSERT_TRUE(m_run.Open()) << "modal run ended with " << m_run.Result();
    }

    // Waits until the window has taken nTicks more poll ticks.
    void WaitForTicks(long nTicks)
    {
        const long nUntil = m_run.Log().PollTicks() + nTicks;
        ASSERT_TRUE(WaitFor([&] { return m_run.Log().PollTicks() >= nUntil; }, POLL_DEADLINE_MS * nTicks, 20))
            << "the poll timer stopped";
        // The tick is taken off the queue before it is handled.
        m_run.State();
    }

    CDeviceSimulator m_sim;
    CWindowRun m_run;
};
