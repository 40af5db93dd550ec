// Ways the program ends: Enter on the finished window, Escape or the close
// box in the middle of either phase.
#include "e2e/E2EFixture.h"

namespace
{
enum class EEnd
{
    Escape,
    CloseBox
};

void EndBy(CUpdaterWindow& window, EEnd end)
{
    if (end == EEnd::Escape)
        window.PressKey(VK_ESCAPE);
    else
        window.Close();
}
}

class CEndingTest : public CE2ETest
{
protected:
    void EndDuringDownload(EEnd end)
    {
        CPacing pacing;
        pacing.m_nChunkSize = 8192;
        pacing.m_dChunkDelay = 0.05;
        ASSERT_NO_FATAL_FAILURE(ServeImage(512 * 1024, 62, pacing));
        ASSERT_NO_FATAL_FAILURE(PlugDevice());
        ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
        m_window.ClickButton();
        ASSERT_NO_FATAL_FAILURE(WaitForDownloadUnderWay());
        EndBy(m_window, end);
        ExpectProcessEnds();

        EXPECT_TRUE(RecordedBytes().empty());
        CDeviceStats stats;
        ASSERT_TRUE(m_sim.GetStats(DEVICE_NAME, stats)) << m_sim.LastReply();
        EXPECT_EQ(stats.m_nPipeOpens, 0u) << "the pipe was opened";
    }

    // The device is held at the start of the transfer, so the end comes
    // while the worker is in the middle of a write.
    void EndDuringTransfer(EEnd end)
    {
        const std::vector<unsigned char> arrImage = ServeImage(1024 * 1024, 63);
        ASSERT_NO_FATAL_FAILURE(PlugDevice());
        ASSERT_TRUE(m_sim.Stall(DEVICE_NAME)) << m_sim.LastReply();
        ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
        m_window.ClickButton();
        ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Progress(DOWNLOAD_COMPLETE, 100, UPDATING, 0)));
        EndBy(m_window, end);
        ExpectProcessEnds();

        ASSERT_TRUE(m_sim.Resume(DEVICE_NAME)) << m_sim.LastReply();
        const std::vector<unsigned char> arrStream = DeviceStream(arrImage);
        const std::vector<unsigned char> arrRecorded = RecordedBytes();
        EXPECT_LT(arrRecorded.size(), arrStream.size()) << "the whole image got through";
        EXPECT_TRUE(IsPrefixOf(arrRecorded, arrStream));
        CDeviceStats stats;
        ASSERT_TRUE(m_sim.GetStats(DEVICE_NAME, stats)) << m_sim.LastReply();
        EXPECT_EQ(stats.m_nPipeOpens, 1u);
        EXPECT_EQ(stats.m_nPipeCloses, 1u) << "the pipe connection is still open";

        ::Sleep(SETTLE_MS);
        EXPECT_EQ(m_sim.RecordedBytes(DEVICE_NAME).size(), arrRecorded.size()) << "bytes arrived after the end";
    }
};

TEST_F(CE2ETest, EnterWhenDoneEndsTheProgram)
{
    const std::vector<unsigned char> arrImage = ServeImage(30000, 61);
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(arrImage);
    m_window.PressKey(VK_RETURN);
    ExpectProcessEnds();
}

TEST_F(CEndingTest, EscapeDuringDownloadEndsTheProgramAndWritesNothing)
{
    EndDuringDownload(EEnd::Escape);
}

TEST_F(CEndingTest, CloseBoxDuringDownloadEndsTheProgramAndWritesNothing)
{
    EndDuringDownload(EEnd::CloseBox);
}

TEST_F(CEndingTest, EscapeDuringTransferEndsTheProgramAndStopsTheTransfer)
{
    EndDuringTransfer(EEnd::Escape);
}

TEST_F(CEndingTest, CloseBoxDuringTransferEndsTheProgramAndStopsTheTransfer)
{
    EndDuringTransfer(EEnd::CloseBox);
}
