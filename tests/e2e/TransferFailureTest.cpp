// A device whose pipe breaks during the transfer.
#include "Fixture.h"

namespace
{
const wchar_t kTransferFailed[] = L"Your Orvek could not be updated. Reconnect it in D/L mode and try again.";
}

class CTransferFailureTest : public CE2ETest {};

// The failure box over the transfer's view, then "Orvek connected!" again;
// nothing claims success, the device holds only what got through, and a
// new try updates it.
TEST_F(CTransferFailureTest, BrokenPipeDuringTransferIsReportedAndCanBeRetried)
{
    constexpr unsigned kImageSize = 200000;
    constexpr unsigned long long kBreakAfter = 5000;
    const std::vector<unsigned char> arrImage = ServeImage(kImageSize, 51);
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_TRUE(m_sim.BreakAfter(DEVICE_NAME, kBreakAfter)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
    m_window.ClickButton();

    // The worker retries the failed write for some seconds before it gives up.
    std::wstring strText;
    HWND hBox = m_window.WaitForMessageBox(60000, strText);
    ASSERT_NE(hBox, nullptr) << "no failure box; seen:" << m_window.DescribeHistory();
    EXPECT_EQ(Narrow(strText), Narrow(kTransferFailed));
    const CWindowView& underBox = m_window.Current();
    EXPECT_EQ(underBox.m_downloadCaption.m_strText, DOWNLOAD_COMPLETE) << underBox.Describe();
    EXPECT_EQ(underBox.m_updateCaption.m_strText, UPDATING) << underBox.Describe();
    EXPECT_FALSE(underBox.m_bEnabled) << "the window takes input while its box is up";

    ASSERT_TRUE(DismissBox(hBox));
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Connected()));
    EXPECT_TRUE(m_window.Holds(CWindowView::Connected(), SETTLE_MS)) << m_window.Current().Describe();
    ExpectNoSuccessShown();

    const std::vector<unsigned char> arrStream = DeviceStream(arrImage);
    std::vector<unsigned char> arrRecorded = RecordedBytes();
    ASSERT_EQ(arrRecorded.size(), kBreakAfter);
    EXPECT_TRUE(IsPrefixOf(arrRecorded, arrStream)) << "the bytes that got through are not the stream's start";

    ASSERT_TRUE(m_sim.NoBreak(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    arrRecorded = RecordedBytes();
    ASSERT_EQ(arrRecorded.size(), kBreakAfter + arrStream.size());
    EXPECT_TRUE(std::equal(arrStream.begin(), arrStream.end(), arrRecorded.begin() + kBreakAfter))
        << "the second try did not write the whole image";
}
