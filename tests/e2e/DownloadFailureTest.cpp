// Downloads that fail: a box, then the window ready for another try.
#include "Fixture.h"
#include "resource.h"
#include "ServiceControl.h"

namespace
{
const wchar_t kServiceError[] = L"The update service is down for maintenance.";

std::string ServiceErrorScenario(double dDelay)
{
    return R"({"status": 500, "headers": ["X-Orvek-Error:  The update service is down for maintenance. "], "delay": )"
           + std::to_string(dDelay) + "}";
}
}

class CDownloadFailureTest : public CE2ETest {};

// The service's error text in a box over the disabled window, which waits
// for the user; then "Orvek connected!" again, and a new try succeeds.
TEST_F(CDownloadFailureTest, FailedDownloadWithDeviceReturnsToConnected)
{
    constexpr unsigned kImageSize = 20000;
    ASSERT_NO_FATAL_FAILURE(SetScenario("[" + ServiceErrorScenario(0.3) + ", " + ImageScenario(kImageSize, 31) + "]"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();

    std::wstring strText;
    HWND hBox = m_window.WaitForMessageBox(STATE_TIMEOUT_MS, strText);
    ASSERT_NE(hBox, nullptr) << "no failure box; seen:" << m_window.DescribeHistory();
    EXPECT_EQ(Narrow(strText), Narrow(kServiceError));
    const CWindowView clicked = CWindowView::Progress(DOWNLOAD_NOT_STARTED, 0, UPDATE_NOT_STARTED, 0);
    EXPECT_TRUE(m_window.Holds(clicked, SETTLE_MS)) << "while the box is up: " << m_window.Current().Describe();
    EXPECT_FALSE(m_window.Current().m_bEnabled) << "the window takes input while its box is up";

    ASSERT_TRUE(DismissBox(hBox));
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Connected()));
    EXPECT_TRUE(m_window.Current().m_bEnabled);
    EXPECT_EQ(m_window.FindMessageBox(), nullptr);

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    EXPECT_EQ(ServiceRequestCount(), 2u);
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 31));
}

// The device unplugged while the service takes its time, then a status the
// program does not know: the box, then the instruction; nothing written.
TEST_F(CDownloadFailureTest, FailedDownloadWithoutDeviceReturnsToDisconnected)
{
    ASSERT_NO_FATAL_FAILURE(SetScenario(R"({"status": 404, "delay": 2.0})"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Progress(DOWNLOAD_NOT_STARTED, 0, UPDATE_NOT_STARTED, 0)));
    ASSERT_NO_FATAL_FAILURE(UnplugDevice());

    std::wstring strText;
    HWND hBox = m_window.WaitForMessageBox(STATE_TIMEOUT_MS, strText);
    ASSERT_NE(hBox, nullptr) << "no failure box; seen:" << m_window.DescribeHistory();
    EXPECT_EQ(Narrow(strText), "HTTP Status Code 404");
    ASSERT_TRUE(DismissBox(hBox));
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Disconnected()));
    EXPECT_TRUE(m_window.Holds(CWindowView::Disconnected(), SETTLE_MS)) << m_window.Current().Describe();
    EXPECT_EQ(m_window.FindMessageBox(), nullptr);
    EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty());
    EXPECT_EQ(ServiceRequestCount(), 1u);
}
