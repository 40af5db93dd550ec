// Common ground of the end-to-end tests: the update-service stand-in (the
// ctest fixture's), a device simulator of the test's own, and the shipped
// updater started over both.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "DeviceSimControl.h"
#include "support/Image.h"
#include "support/UpdaterWindow.h"

constexpr char DEVICE_NAME[] = "dev1";
// Bounds for waits; they only stop a test that has gone wrong, nothing is timed.
constexpr DWORD STATE_TIMEOUT_MS = 30000;
constexpr DWORD EXIT_TIMEOUT_MS = 10000;
// Longer than a poll tick or two: long enough for the window to react to anything.
constexpr DWORD SETTLE_MS = 1500;

// How the service stand-in sends the body.
struct CPacing
{
    double m_dDelay = 0;        // seconds before the answer
    unsigned m_nChunkSize = 0;  // 0: all at once
    double m_dChunkDelay = 0;   // seconds between chunks
};

class CE2ETest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void PlugDevice();
    void UnplugDevice();
    // A scenario entry that answers with the generated image of nSize bytes.
    static std::string ImageScenario(unsigned nSize, unsigned nSeed, const CPacing& pacing = CPacing());
    // The service answers every request with that image; returns the image.
    std::vector<unsigned char> ServeImage(unsigned nSize, unsigned nSeed, const CPacing& pacing = CPacing());
    void SetScenario(const std::string& strJson);

    // Starts the updater and waits until its window shows firstView.
    void StartUpdater(const CWindowView& firstView);
    // Plugs the device in and starts the updater, which shows "Orvek connected!".
    void StartConnected();
    // Clicks the button and waits for "Orvek successfully updated!".
    void ClickForDone();
    void WaitForView(const CWindowView& expected, DWORD dwTimeoutMs = STATE_TIMEOUT_MS);
    // Waits for the window to show the download bar above 0 with "Downloading...".
    void WaitForDownloadUnderWay();
    // The window's history contains no view that tells of a finished update.
    void ExpectNoSuccessShown();
    void ExpectProcessEnds();
    // Waits for the download's failure box, checks its text, dismisses it
    // and waits for the window to show after.
    void ExpectFailureBox(const std::string& strExpected, const CWindowView& after,
                          DWORD dwTimeoutMs = STATE_TIMEOUT_MS);

    // Waits until the simulator has taken every byte the plugged device was
    // sent, then returns them.
    std::vector<unsigned char> RecordedBytes();
    void ExpectDeviceHolds(const std::vector<unsigned char>& arrImage);
    size_t ServiceRequestCount();
    // Puts a proxy that asks for this user name and password between the
    // updater and the service: an updater started afterwards reaches the
    // service only through it.
    void UseAuthProxy(const std::string& strUser, const std::string& strPassword);

    // Later starts run the copy strExeName in strFolder (StartUpdaterProcess).
    void UseFolder(const std::string& strFolder, const std::string& strExeName)
    {
        m_strFolder = strFolder;
        m_strExeName = strExeName;
    }

    CDeviceSimulator m_sim;
    // Ended when the test ends, so that no test leaves a program behind.
    CChildProcess m_process;
    CUpdaterWindow m_window;

private:
    std::string m_strFolder;
    std::string m_strExeName = "OrvekUpdater.exe";
    // The proxy settings UseAuthProxy replaced, given back at the end.
    std::vector<std::string> m_arrSavedEnvironment;
};

// True if arrPrefix is the start of arrWhole.
bool IsPrefixOf(const std::vector<unsigned char>& arrPrefix, const std::vector<unsigned char>& arrWhole);
