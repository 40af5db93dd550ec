// What a misbehaving network does to an update: a service that stalls ends
// in the platform's time-out box, a redirect loop in a box of the program's
// own, each with a retry that works; a mirror and a slow link still work; a
// network's own web page, and an answer compressed on the way, are never
// written into the device.
#include "Fixture.h"
#include <wininet.h>
#include <algorithm>
#include "support/WinInetText.h"
#include "ServiceControl.h"

namespace
{
// Longer than the program's 30 s receive time-out.
constexpr DWORD TIMED_OUT_BOX_MS = 60000;
const wchar_t kTooManyRedirects[] = L"The update service kept sending the updater from one address to another without "
                                    L"ever delivering the update. Please try again later.";
const char kServiceTarget[] = "http://update.orvek.example:80/device/update?version=2.0";
const wchar_t kEncoded[] = L"The update arrived altered on the way: the network or a server compressed it. Nothing "
                           L"was written to your Orvek. Please try again later, or from another network.";
// A guest network's sign-in page, gzipped: it opens with 1F 8B, not with a tag.
const char kGzippedPage[] =
    "1f8b0800000000000203b35174f1770e890c7055c828c9cdb1e3b201533619a98929763625992539a976eea5a9c5250ae199ba6e9936"
    "fa10211b7d8882a4fc944a3b9b02bb809cd4c4e25485e2ccf43c85cc3c3d1bfd02a01288a43ec45c00e853398c68000000";

std::string Header(const CServiceRequest& request, const char* pszName)
{
    std::string strValue = "<none>";
    request.FindHeader(pszName, strValue);
    return strValue;
}

std::string Redirect(int nStatus, const char* pszLocation)
{
    return R"({"status": )" + std::to_string(nStatus) + R"(, "headers": [["Location", ")" + pszLocation + R"("]]})";
}

const wchar_t kWebPage[] = L"The network answered with a web page instead of the update. On a hotel, airport or "
                           L"office network, sign in with a web browser first, or ask the network's administrator. "
                           L"Then try again.";

// A network's own page of some 3 KB that opens with pszOpening (JSON text).
std::string PageScenario(const char* pszOpening, const char* pszContentType)
{
    std::string strPage = std::string(pszOpening) + "<head><title>Guest Wi-Fi</title></head>\\n<body>";
    while (strPage.size() < 3000)
        strPage += "<p>Welcome! Please sign in to use the Internet. Charges may apply.</p>\\n";
    return R"({"body": ")" + strPage + R"(</body></html>", "headers": [["Content-Type", ")" + pszContentType
           + R"("]]})";
}

std::string HexScenario(const std::vector<unsigned char>& arrBody, const char* pszContentType)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string strHex;
    for (unsigned char by : arrBody)
    {
        strHex += kDigits[by >> 4];
        strHex += kDigits[by & 0xF];
    }
    return R"({"body": {"hex": ")" + strHex + R"("}, "headers": [["Content-Type", ")" + pszContentType + R"("]]})";
}
}

class CNetworkFaultTest : public CE2ETest
{
protected:
    // Clicks the button and waits for the download's failure box: its text,
    // then, once dismissed, "Orvek connected!" with nothing written.
    void ExpectFailedDownload(const std::wstring& strExpected, DWORD dwTimeoutMs)
    {
        m_window.ClickButton();
        ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(Narrow(strExpected), CWindowView::Connected(), dwTimeoutMs));
        EXPECT_TRUE(m_sim.RecordedBytes(DEVICE_NAME).empty()) << "the device was written to";
    }
};

// A service that takes the request and never answers: the platform's
// time-out box after the real 30 s. (A service that stops in the middle of
// the body is the download worker's test, with the time-out shortened.)
TEST_F(CNetworkFaultTest, SilentServiceEndsInTheTimeOutBoxAndARetryWorks)
{
    constexpr unsigned kImageSize = 300000;
    ASSERT_NO_FATAL_FAILURE(SetScenario(R"([{"action": "silent"}, )" + ImageScenario(kImageSize, 51) + "]"));
    const std::wstring strTimedOut = WinInetBoxText(ERROR_INTERNET_TIMEOUT);
    ASSERT_FALSE(strTimedOut.empty());
    ASSERT_NO_FATAL_FAILURE(StartConnected());

    ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload(strTimedOut, TIMED_OUT_BOX_MS));
    ExpectNoSuccessShown();

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    EXPECT_EQ(ServiceRequestCount(), 2u);
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 51));
}

// Sent back to the same address for ever: the program stops after ten
// redirects. Sent on twice, to a mirror for good and within it, the update
// works.
TEST_F(CNetworkFaultTest, RedirectLoopEndsInABoxAndAMirrorStillUpdates)
{
    constexpr unsigned kImageSize = 40000;
    std::string strScenario = "[";
    for (int iRequest = 0; iRequest < 11; ++iRequest)
        strScenario += Redirect(302, "http://update.orvek.example/device/update?version=2.0") + ", ";
    strScenario += Redirect(308, "http://mirror.orvek.example/fw/current") + ", "
                   + Redirect(307, "/fw/2.0/image.bin?from=update") + ", " + ImageScenario(kImageSize, 61) + "]";
    ASSERT_NO_FATAL_FAILURE(SetScenario(strScenario));
    ASSERT_NO_FATAL_FAILURE(StartConnected());

    ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload(kTooManyRedirects, STATE_TIMEOUT_MS));
    EXPECT_EQ(ServiceRequestCount(), 11u) << "the first request and ten redirects";

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 61));
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 14u) << ServiceRequestsJson();
    const struct
    {
        const char* pszRequestLine;
        const char* pszHost;
    } expected[] = {
        {"GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0", "update.orvek.example"},
        {"GET http://mirror.orvek.example:80/fw/current HTTP/1.0", "mirror.orvek.example"},
        {"GET http://mirror.orvek.example:80/fw/2.0/image.bin?from=update HTTP/1.0", "mirror.orvek.example"},
    };
    for (size_t iRow = 0; iRow < 3; ++iRow)
    {
        const CServiceRequest& request = arrRequests[11 + iRow];
        EXPECT_EQ(expected[iRow].pszRequestLine, request.m_strRequestLine) << "request " << 12 + iRow;
        EXPECT_EQ(expected[iRow].pszHost, Header(request, "Host")) << "request " << 12 + iRow;
        EXPECT_EQ("Orvek Updater", Header(request, "User-Agent")) << "request " << 12 + iRow;
    }
    for (size_t iRequest = 0; iRequest < 11; ++iRequest)
        EXPECT_EQ(std::string("GET ") + kServiceTarget + " HTTP/1.0", arrRequests[iRequest].m_strRequestLine);
}

// 100 KB at 10 KB/s: 1% arrives every 0.1 s, and the bar moves with it.
TEST_F(CNetworkFaultTest, SlowLinkMovesTheBarAsTheBytesArrive)
{
    CPacing pacing;
    pacing.m_nChunkSize = 1000;
    pacing.m_dChunkDelay = 0.04;
    const std::vector<unsigned char> arrImage = ServeImage(100000, 71, pacing);
    ASSERT_NO_FATAL_FAILURE(StartConnected());
    m_window.ClearHistory();
    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(arrImage);

    std::vector<const CWindowView*> arrMoves;
    for (const CWindowView& view : m_window.History())
    {
        if (view.m_downloadCaption.m_strText != DOWNLOADING && view.m_downloadCaption.m_strText != DOWNLOAD_COMPLETE)
            continue;
        if (arrMoves.empty() || arrMoves.back()->m_downloadBar.m_nPos != view.m_downloadBar.m_nPos)
            arrMoves.push_back(&view);
    }
    EXPECT_GE(arrMoves.size(), 50u) << "bar positions seen; seen:" << m_window.DescribeHistory();
    DWORD dwLongestStill = 0;
    for (size_t iMove = 1; iMove < arrMoves.size(); ++iMove)
        dwLongestStill = std::max(dwLongestStill, arrMoves[iMove]->m_dwSeenTick - arrMoves[iMove - 1]->m_dwSeenTick);
    EXPECT_LT(dwLongestStill, 1500u) << "the longest the bar stood still, in ms";
}

// A sign-in page, the same page after a redirect to the portal's own host,
// and a block page labelled as binary that opens with a byte-order mark and
// blank lines: each a box of the program's own with nothing written. Then an
// image labelled as a page whose first byte is '<' updates.
TEST_F(CNetworkFaultTest, WebPageIsNeverWrittenAndARealImageStillUpdates)
{
    std::vector<unsigned char> arrImage = ServiceGeneratedBody(40000, 81);
    arrImage[0] = '<';
    ASSERT_NO_FATAL_FAILURE(SetScenario(
        "[" + PageScenario("<!DOCTYPE html>\\n<html lang=en>", "text/html") + ", "
        + Redirect(302, "http://portal.hotel.example/login") + ", "
        + PageScenario("<!DOCTYPE html>\\n<html lang=en>", "text/html; charset=utf-8") + ", "
        + PageScenario("\\ufeff\\r\\n\\r\\n<HTML>", "application/octet-stream") + ", "
        + HexScenario(arrImage, "text/html") + "]"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());

    for (int iPage = 0; iPage < 3; ++iPage)
    {
        SCOPED_TRACE("page " + std::to_string(iPage + 1));
        ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload(kWebPage, STATE_TIMEOUT_MS));
    }
    ExpectNoSuccessShown();

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(arrImage);
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 5u) << ServiceRequestsJson();
    EXPECT_EQ("GET http://portal.hotel.example:80/login HTTP/1.0", arrRequests[2].m_strRequestLine);
    EXPECT_EQ("portal.hotel.example", Header(arrRequests[2], "Host"));
}

// A proxy or a mirror that compresses what it passes on: a box of the
// program's own with nothing written, then a plain answer updates.
TEST_F(CNetworkFaultTest, CompressedAnswerIsNeverWrittenAndAPlainOneUpdates)
{
    constexpr unsigned kImageSize = 40000;
    ASSERT_NO_FATAL_FAILURE(SetScenario(std::string(R"([{"body": {"hex": ")") + kGzippedPage
                                        + R"("}, "headers": [["Content-Type", "text/html"], ["Content-Encoding", "gzip"]]}, )"
                                        + ImageScenario(kImageSize, 91) + "]"));
    ASSERT_NO_FATAL_FAILURE(StartConnected());

    ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload(kEncoded, STATE_TIMEOUT_MS));
    ExpectNoSuccessShown();

    ASSERT_NO_FATAL_FAILURE(ClickForDone());
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 91));
}
