// The end-to-end tests' common ground.
#include "Fixture.h"
#include "support/Wait.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include "ServiceControl.h"

void CE2ETest::SetUp()
{
    ASSERT_TRUE(ServiceReset()) << "the update-service stand-in does not answer on port " << ServicePort();
    ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
}

void CE2ETest::TearDown()
{
    if (m_arrSavedEnvironment.empty())
        return;
    for (const std::string& strSetting : m_arrSavedEnvironment)
        _putenv(strSetting.c_str());
    ServiceReset();
}

void CE2ETest::UseAuthProxy(const std::string& strUser, const std::string& strPassword)
{
    const unsigned short nServicePort = ServicePort();
    unsigned short nProxyPort = 0;
    std::string strError;
    ASSERT_TRUE(ServiceStartProxy(strUser, strPassword, nProxyPort, strError)) << strError;
    // The control client finds the service by http_proxy unless told its port.
    for (const char* pszName : { "http_proxy", "ORVEK_SERVICE_PORT" })
    {
        const char* pszValue = std::getenv(pszName);
        m_arrSavedEnvironment.push_back(std::string(pszName) + "=" + (pszValue != nullptr ? pszValue : ""));
    }
    _putenv(("ORVEK_SERVICE_PORT=" + std::to_string(nServicePort)).c_str());
    _putenv(("http_proxy=http://127.0.0.1:" + std::to_string(nProxyPort)).c_str());
}

void CE2ETest::PlugDevice()
{
    ASSERT_TRUE(m_sim.Plug(DEVICE_NAME)) << m_sim.LastReply();
}

void CE2ETest::UnplugDevice()
{
    ASSERT_TRUE(m_sim.Unplug(DEVICE_NAME)) << m_sim.LastReply();
}

std::string CE2ETest::ImageScenario(unsigned nSize, unsigned nSeed, const CPacing& pacing)
{
    char szJson[256];
    snprintf(szJson, sizeof(szJson), R"({"body": {"size": %u, "seed": %u}, "delay": %.3f)", nSize, nSeed,
             pacing.m_dDelay);
    std::string strJson = szJson;
    if (pacing.m_nChunkSize != 0)
    {
        snprintf(szJson, sizeof(szJson), R"(, "chunk_size": %u, "chunk_delay": %.3f)", pacing.m_nChunkSize,
                 pacing.m_dChunkDelay);
        strJson += szJson;
    }
    return strJson + "}";
}

std::vector<unsigned char> CE2ETest::ServeImage(unsigned nSize, unsigned nSeed, const CPacing& pacing)
{
    SetScenario(ImageScenario(nSize, nSeed, pacing));
    return ServiceGeneratedBody(nSize, nSeed);
}

void CE2ETest::SetScenario(const std::string& strJson)
{
    std::string strError;
    ASSERT_TRUE(ServiceSetScenario(strJson, strError)) << strError << "\nfor " << strJson;
}

void CE2ETest::StartUpdater(const CWindowView& firstView)
{
    ASSERT_TRUE(StartUpdaterProcess(m_process, m_strFolder, m_strExeName))
        << "cannot start " << m_strExeName << ", error " << m_process.LastError();
    const HWND hWnd = WaitForUpdaterWindow(m_process, STATE_TIMEOUT_MS);
    ASSERT_NE(hWnd, nullptr) << (m_process.HasEnded() ? "the updater ended before it showed its window"
                                                      : "the updater showed no window");
    m_window.Attach(hWnd);
    WaitForView(firstView);
}

void CE2ETest::StartConnected()
{
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
}

void CE2ETest::ClickForDone()
{
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
}

void CE2ETest::WaitForView(const CWindowView& expected, DWORD dwTimeoutMs)
{
    ASSERT_TRUE(m_window.WaitForView(expected, dwTimeoutMs))
        << "expected " << expected.Describe() << "\nlast seen " << m_window.Current().Describe()
        << "\nseen:" << m_window.DescribeHistory();
}

void CE2ETest::WaitForDownloadUnderWay()
{
    ASSERT_TRUE(m_window.WaitUntil(
        [](const CWindowView& view) {
            return view.m_downloadCaption.m_strText == DOWNLOADING && view.m_downloadBar.m_nPos > 0;
        },
        STATE_TIMEOUT_MS))
        << "the download never showed progress; seen:" << m_window.DescribeHistory();
}

void CE2ETest::ExpectNoSuccessShown()
{
    for (const CWindowView& view : m_window.History())
    {
        EXPECT_NE(view.m_status.m_strText, L"Orvek successfully updated!") << "seen:" << m_window.DescribeHistory();
        EXPECT_NE(view.m_button.m_strText, L"Done!") << "seen:" << m_window.DescribeHistory();
    }
}

void CE2ETest::ExpectFailureBox(const std::string& strExpected, const CWindowView& after, DWORD dwTimeoutMs)
{
    std::wstring strText;
    const HWND hBox = m_window.WaitForMessageBox(dwTimeoutMs, strText);
    ASSERT_NE(hBox, nullptr) << "no failure box; seen:" << m_window.DescribeHistory();
    EXPECT_EQ(Narrow(strText), strExpected);
    ASSERT_TRUE(DismissBox(hBox));
    ASSERT_NO_FATAL_FAILURE(WaitForView(after));
}

void CE2ETest::ExpectProcessEnds()
{
    EXPECT_TRUE(m_process.WaitForExit(EXIT_TIMEOUT_MS)) << "the updater is still running";
    EXPECT_TRUE(m_window.WaitUntilGone(EXIT_TIMEOUT_MS)) << "the updater window is still there";
}

std::vector<unsigned char> CE2ETest::RecordedBytes()
{
    EXPECT_TRUE(m_sim.WaitIdle(DEVICE_NAME, EXIT_TIMEOUT_MS)) << m_sim.LastReply();
    return m_sim.RecordedBytes(DEVICE_NAME);
}

void CE2ETest::ExpectDeviceHolds(const std::vector<unsigned char>& arrImage)
{
    const std::vector<unsigned char> arrExpected = DeviceStream(arrImage);
    const std::vector<unsigned char> arrRecorded = RecordedBytes();
    ASSERT_EQ(arrRecorded.size(), arrExpected.size()) << "bytes the device received";
    EXPECT_TRUE(arrRecorded == arrExpected) << "the device received other bytes than image[0..20) + image[1024..)";
}

size_t CE2ETest::ServiceRequestCount()
{
    std::vector<CServiceRequest> arrRequests;
    EXPECT_TRUE(ServiceRequests(arrRequests));
    return arrRequests.size();
}

bool IsPrefixOf(const std::vector<unsigned char>& arrPrefix, const std::vector<unsigned char>& arrWhole)
{
    return arrPrefix.size() <= arrWhole.size() && std::equal(arrPrefix.begin(), arrPrefix.end(), arrWhole.begin());
}
