// One updater at a time: a second start of the program only brings the
// first window forward, or says why it ends.
#include "Fixture.h"
#include <vector>
#include "support/DeviceStats.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"

namespace
{
// Every updater window on the desktop.
std::vector<HWND> UpdaterWindows()
{
    CWindowSearch search;
    search.m_pfnMatch = CUpdaterWindow::IsUpdaterWindow;
    return FindTopWindows(search);
}
}

class CSingleInstanceTest : public CE2ETest {};

// Started again while its window is minimised behind another one: the second
// program shows nothing, never looks for the device, brings the first window
// back to the front and ends; the first window then updates as usual.
TEST_F(CSingleInstanceTest, SecondStartBringsTheRunningWindowForwardAndEnds)
{
    const std::vector<unsigned char> arrImage = ServeImage(200000, 82);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_TRUE(MinimizeWindow(m_window.Handle(), STATE_TIMEOUT_MS)) << "the first window was never minimised";
    const HWND hOther = ::CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                          300, 200, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(hOther);
    ASSERT_EQ(::GetForegroundWindow(), hOther);

    CChildProcess second;
    ASSERT_TRUE(StartUpdaterProcess(second)) << "cannot start a second OrvekUpdater.exe, error " << second.LastError();
    HWND hShown = nullptr;
    PumpUntil([&] { return second.HasEnded() || (hShown = FindProcessWindow(second.ProcessId(), true)) != nullptr; },
              EXIT_TIMEOUT_MS);
    EXPECT_EQ(hShown, nullptr) << "the second program showed a window";
    ASSERT_TRUE(second.WaitForExit(EXIT_TIMEOUT_MS)) << "the second program is still running";

    EXPECT_EQ(UpdaterWindows().size(), 1u) << "updater windows on the desktop";
    EXPECT_FALSE(::IsIconic(m_window.Handle())) << "the first window is still minimised";
    EXPECT_EQ(::GetForegroundWindow(), m_window.Handle()) << "the first window is not in front";
    ::DestroyWindow(hOther);
    // The first program's probes are in the stand-in's log, the second's must not be.
    const std::string strFirstPid = " pid=" + std::to_string(m_process.ProcessId()) + " ";
    const std::string strSecondPid = " pid=" + std::to_string(second.ProcessId()) + " ";
    bool bFirstProbed = false;
    for (const std::string& strLine : m_sim.SetupApiLog())
    {
        bFirstProbed = bFirstProbed || strLine.find(strFirstPid) != std::string::npos;
        EXPECT_EQ(strLine.find(strSecondPid), std::string::npos) << "the second program looked for the device: " << strLine;
    }
    EXPECT_TRUE(bFirstProbed) << "no probe of the first program in the log";

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(arrImage);
    EXPECT_EQ(SettledStats(m_sim, DEVICE_NAME).m_nPipeOpens, 1u) << "pipe opens";
}

// The lock held by a program with no updater window (this test, as an
// updater in another user's session would): the second start says so in a
// box and, after OK, ends without a look for the device.
TEST_F(CSingleInstanceTest, SecondStartWithTheLockHeldElsewhereSaysSoAndEnds)
{
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    const HANDLE hLock = ::CreateMutexW(nullptr, FALSE, L"Global\\OrvekUpdater.Running");
    ASSERT_NE(hLock, nullptr) << "error " << ::GetLastError();
    ASSERT_TRUE(StartUpdaterProcess(m_process)) << "cannot start OrvekUpdater.exe, error " << m_process.LastError();

    HWND hBox = nullptr;
    WaitFor([&] { return (hBox = FindProcessWindow(m_process.ProcessId(), true)) != nullptr || m_process.HasEnded(); },
            STATE_TIMEOUT_MS, 20);
    ASSERT_NE(hBox, nullptr) << "the second start showed nothing";
    EXPECT_FALSE(CUpdaterWindow::IsUpdaterWindow(hBox)) << "a window, not a box";
    wchar_t szText[512] = {};
    ::GetDlgItemTextW(hBox, 0xFFFF, szText, 512);
    EXPECT_STREQ(szText, L"Orvek Updater is already running elsewhere on this computer, for example for another "
                         L"user.\n\nOnly one Orvek Updater can use the Orvek at a time.");
    ASSERT_TRUE(DismissBox(hBox, IDOK));
    EXPECT_TRUE(m_process.WaitForExit(EXIT_TIMEOUT_MS)) << "the updater is still running";
    ::CloseHandle(hLock);

    const std::string strPid = " pid=" + std::to_string(m_process.ProcessId()) + " ";
    for (const std::string& strLine : m_sim.SetupApiLog())
        EXPECT_EQ(strLine.find(strPid), std::string::npos) << "the updater looked for the device: " << strLine;
}
