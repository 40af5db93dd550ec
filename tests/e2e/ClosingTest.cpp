// Ways the program ends: Enter on the finished window, Escape or the close
// box during the download at once, during the write only after a question;
// and what a log-off is told meanwhile.
#include "Fixture.h"
#include "support/DeviceStats.h"

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

class CClosingTest : public CE2ETest
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
        EXPECT_EQ(SettledStats(m_sim, DEVICE_NAME).m_nPipeOpens, 0u) << "the pipe was opened";
    }

    // The device is held at the start of the transfer, so the end comes
    // while the worker is in the middle of a write; the question asked then
    // is left up.
    HWND AskDuringTransfer(EEnd end, unsigned nImageSize, unsigned nSeed, std::vector<unsigned char>& arrImage)
    {
        arrImage = ServeImage(nImageSize, nSeed);
        PlugDevice();
        EXPECT_TRUE(m_sim.Stall(DEVICE_NAME)) << m_sim.LastReply();
        StartUpdater(CWindowView::Connected());
        if (HasFatalFailure())
            return nullptr;
        EXPECT_EQ(m_window.QueryEndSession(), TRUE) << "the connected window holds up a log-off";
        m_window.ClickButton();
        WaitForView(CWindowView::Progress(DOWNLOAD_COMPLETE, 100, UPDATING, 0));
        if (HasFatalFailure())
            return nullptr;
        EndBy(m_window, end);

        std::wstring strText;
        const HWND hQuestion = m_window.WaitForMessageBox(EXIT_TIMEOUT_MS, strText);
        EXPECT_NE(hQuestion, nullptr) << "no question; the window is " << (m_window.IsGone() ? "gone" : "still there");
        EXPECT_NE(strText.find(L"being updated"), std::wstring::npos) << Narrow(strText);
        EXPECT_NE(strText.find(L"D/L mode"), std::wstring::npos) << Narrow(strText);
        EXPECT_TRUE(::GetDlgItem(hQuestion, IDYES) != nullptr && ::GetDlgItem(hQuestion, IDNO) != nullptr);
        return hQuestion;
    }
};

TEST_F(CClosingTest, EnterWhenDoneEndsTheProgram)
{
    const std::vector<unsigned char> arrImage = ServeImage(30000, 61);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(arrImage);
    m_window.PressKey(VK_RETURN);
    ExpectProcessEnds();
}

TEST_F(CClosingTest, EscapeDuringDownloadEndsTheProgramAndWritesNothing)
{
    EndDuringDownload(EEnd::Escape);
}

TEST_F(CClosingTest, CloseBoxDuringDownloadEndsTheProgramAndWritesNothing)
{
    EndDuringDownload(EEnd::CloseBox);
}

TEST_F(CClosingTest, EscapeDuringTransferAsksNoKeepsWritingAndALogOffWaits)
{
    // Large enough for the write to last a few seconds once it runs.
    std::vector<unsigned char> arrImage;
    const HWND hQuestion = AskDuringTransfer(EEnd::Escape, 8 * 1024 * 1024, 64, arrImage);
    ASSERT_NE(hQuestion, nullptr);
    EXPECT_EQ(m_window.QueryEndSession(), FALSE) << "a log-off may end the write";

    // The write goes on under the question.
    ASSERT_TRUE(m_sim.Resume(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_TRUE(m_window.WaitUntil([](const CWindowView& view) { return view.m_updateBar.m_nPos >= 5; },
                                   STATE_TIMEOUT_MS))
        << "the bar stood still under the question; seen:" << m_window.DescribeHistory();
    ASSERT_TRUE(m_sim.Stall(DEVICE_NAME)) << m_sim.LastReply();
    EXPECT_TRUE(::IsWindowVisible(hQuestion)) << "the question went away by itself";

    ASSERT_TRUE(DismissBox(hQuestion, IDNO));
    EXPECT_TRUE(m_window.WaitUntil([](const CWindowView& view) { return view.m_bEnabled; }, EXIT_TIMEOUT_MS));
    EXPECT_EQ(m_window.Current().m_updateCaption.m_strText, UPDATING);
    EXPECT_EQ(m_window.QueryEndSession(), FALSE);

    ASSERT_TRUE(m_sim.Resume(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(arrImage);
    EXPECT_EQ(m_window.QueryEndSession(), TRUE) << "the finished window holds up a log-off";
    EXPECT_FALSE(m_process.HasEnded());
}

TEST_F(CClosingTest, CloseBoxDuringTransferAsksAndYesEndsTheProgramAndStopsTheTransfer)
{
    std::vector<unsigned char> arrImage;
    const HWND hQuestion = AskDuringTransfer(EEnd::CloseBox, 1024 * 1024, 63, arrImage);
    ASSERT_NE(hQuestion, nullptr);
    ASSERT_TRUE(DismissBox(hQuestion, IDYES));
    EXPECT_TRUE(m_process.WaitForExit(3000)) << "the updater is still running 3 s after Yes";
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
