// The device away while the image downloads: gone at its end, back
// before it, or never there.
#include "Fixture.h"
#include "resource.h"

namespace
{
// The download's reads wait for 64 KiB each, so the bar moves in 6% steps;
// a stalled device takes some 8 KiB, under 1%.
constexpr unsigned kImageSize = 1024 * 1024;

// About six seconds for the image: time to unplug and replug with room to spare.
CPacing SlowBody()
{
    CPacing pacing;
    pacing.m_nChunkSize = 16384;
    pacing.m_dChunkDelay = 0.1;
    return pacing;
}

bool DownloadHasCompleted(HWND hWnd)
{
    return ReadControlText(hWnd, IDC_STATIC_DOWNLOAD) == DOWNLOAD_COMPLETE
           && ReadBarPos(hWnd, IDC_PROGRESS_DOWNLOAD) == 100;
}
}

class CDeviceAbsenceTest : public CE2ETest
{
protected:
    // Serves a slow image, starts its download with the device plugged in,
    // and pulls the device out while it runs.
    void UnplugDuringDownload(unsigned nSeed, std::vector<unsigned char>& arrImage)
    {
        arrImage = ServeImage(kImageSize, nSeed, SlowBody());
        ASSERT_NO_FATAL_FAILURE(PlugDevice());
        ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
        m_window.ClickButton();
        ASSERT_NO_FATAL_FAILURE(WaitForDownloadUnderWay());
        ASSERT_NO_FATAL_FAILURE(UnplugDevice());
        ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Disconnected()));
    }
};

// Unplugged during the download and still absent at its end: the window
// shows the instruction, nothing is written, and after plugging in again
// the button downloads afresh and updates the device.
TEST_F(CDeviceAbsenceTest, DeviceGoneAtDownloadCompletionEndsDisconnected)
{
    std::vector<unsigned char> arrImage;
    ASSERT_NO_FATAL_FAILURE(UnplugDuringDownload(21, arrImage));

    const HWND hWnd = m_window.Handle();
    ASSERT_TRUE(m_window.WaitUntil([hWnd](const CWindowView&) { return DownloadHasCompleted(hWnd); },
                                   STATE_TIMEOUT_MS))
        << "the hidden download bar never reached 100";
    EXPECT_TRUE(m_window.Holds(CWindowView::Disconnected(), SETTLE_MS)) << m_window.Current().Describe();
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty()) << "bytes reached the unplugged device";
    EXPECT_EQ(ServiceRequestCount(), 1u);

    ASSERT_NO_FATAL_FAILURE(ServeImage(kImageSize, 21));
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Connected()));
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    EXPECT_EQ(ServiceRequestCount(), 2u) << "the second click downloads anew";
    ExpectDeviceHolds(arrImage);
}

// Unplugged and plugged in again before the download ends: the window goes
// back to "Orvek connected!", whose button shows the download still running
// and starts no other, and the completion takes it on to the transfer.
TEST_F(CDeviceAbsenceTest, DeviceBackBeforeDownloadCompletionGetsTheUpdate)
{
    std::vector<unsigned char> arrImage;
    ASSERT_NO_FATAL_FAILURE(UnplugDuringDownload(22, arrImage));
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    // Held at the start of the transfer, so that its first view can be seen.
    ASSERT_TRUE(m_sim.Stall(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Connected()));

    m_window.ClickButton();
    const HWND hWnd = m_window.Handle();
    ASSERT_FALSE(DownloadHasCompleted(hWnd)) << "the download ended too early for this test; slow it down";
    const auto bDownloadShown = [](const CWindowView& view) {
        return view.m_downloadCaption.m_bVisible && view.m_downloadCaption.m_strText == DOWNLOADING;
    };
    EXPECT_TRUE(m_window.WaitUntil(bDownloadShown, SETTLE_MS)) << m_window.Current().Describe();
    EXPECT_EQ(ServiceRequestCount(), 1u) << "a click during the download started another one";

    m_window.ClearHistory();
    const CWindowView updateBegin = CWindowView::Progress(DOWNLOAD_COMPLETE, 100, UPDATING, 0);
    ASSERT_NO_FATAL_FAILURE(WaitForView(updateBegin));
    for (size_t i = 0; i + 1 < m_window.History().size(); ++i)
        EXPECT_TRUE(bDownloadShown(m_window.History()[i])) << "expected the download, then the transfer; seen:"
                                                            << m_window.DescribeHistory();

    ASSERT_TRUE(m_sim.Resume(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    EXPECT_EQ(ServiceRequestCount(), 1u);
    ExpectDeviceHolds(arrImage);
}

// Enter works while the button is hidden: the download runs without a
// device, and its end finds none, so the instruction stays.
TEST_F(CDeviceAbsenceTest, EnterWhileDisconnectedStartsADownload)
{
    CPacing pacing;
    pacing.m_dDelay = 0.5;
    ASSERT_NO_FATAL_FAILURE(ServeImage(50000, 41, pacing));
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Disconnected()));
    m_window.PressKey(VK_RETURN);
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Progress(DOWNLOAD_NOT_STARTED, 0, UPDATE_NOT_STARTED, 0)));

    const HWND hWnd = m_window.Handle();
    ASSERT_TRUE(m_window.WaitUntil(
        [hWnd](const CWindowView& view) { return view == CWindowView::Disconnected() && DownloadHasCompleted(hWnd); },
        STATE_TIMEOUT_MS))
        << "the download did not end in the disconnected state; seen:" << m_window.DescribeHistory();
    EXPECT_TRUE(m_window.Holds(CWindowView::Disconnected(), SETTLE_MS)) << m_window.Current().Describe();
    EXPECT_EQ(m_window.FindMessageBox(), nullptr);
    EXPECT_EQ(ServiceRequestCount(), 1u);
}
