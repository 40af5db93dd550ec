// The download worker against the update-service stand-in, reporting to a real window.
#include "app/UserTexts.h"
#include "support/DownloadRun.h"
#include "support/ExpectFailure.h"
#include "ServiceControl.h"
#include "app/ImageBuffer.h"
#include "support/WinInetText.h"
#include "download/UpdateRequest.h"

#include <algorithm>
#include <numeric>
#include <cstring>
#include <gtest/gtest.h>

namespace
{
// 1, 2, ... 100.
std::vector<WPARAM> EveryPercent()
{
    std::vector<WPARAM> arrPercent(100);
    std::iota(arrPercent.begin(), arrPercent.end(), 1);
    return arrPercent;
}

class DownloadWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ServiceReset()) << "stand-in not reachable on port " << ServicePort();
        ReleaseImage();
    }
    void TearDown() override { ReleaseImage(); }

    CDownloadRun Run(const std::string& strScenario)
    {
        std::string strError;
        EXPECT_TRUE(ServiceSetScenario(strScenario, strError)) << strError;
        CDownloadRun run = RunDownload();
        EXPECT_TRUE(run.m_bFinished) << "worker still running: " << run.Describe();
        return run;
    }

    // The failure as ExpectFailure has it, after a begin report or none.
    static void ExpectFailure(const CDownloadRun& run, const wchar_t* pszText, bool bBegin)
    {
        ::ExpectFailure(run, pszText);
        EXPECT_EQ(bBegin, run.HasBegin()) << run.Describe();
    }
};
}

TEST_F(DownloadWorkerTest, SendsOnePlainGetForTheUpdate)
{
    Run(R"({"status": 404})");
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(1u, arrRequests.size()) << ServiceRequestsJson();
    const CServiceRequest& request = arrRequests[0];
    // Wine writes the absolute URI for a proxy with the port spelled out.
    EXPECT_EQ("GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0", request.m_strRequestLine);
    std::vector<std::string> arrExpected = {"Host: update.orvek.example", "User-Agent: Orvek Updater"};
    EXPECT_EQ(arrExpected, request.m_arrHeaderLines) << ServiceRequestsJson();
    EXPECT_TRUE(request.m_strBody.empty());
}

TEST_F(DownloadWorkerTest, SmallBodiesReportEachChangedPercentage)
{
    struct
    {
        const char* pszScenario;
        const char* pszBody;
        std::vector<WPARAM> arrPercent;
    } const rows[] = {
        {R"({"body": "abcd"})", "abcd", {100}},
        {R"({"body": "0123456789"})", "0123456789", {40, 80, 100}},
        {R"({"body": "xyz"})", "xyz", {100}},
        // Said twice alike, the length is clear; the identity coding leaves the body as it is.
        {R"({"body": "abcd", "headers": [["Content-Length", "4"]]})", "abcd", {100}},
        {R"({"body": "abcd", "headers": [["Content-Encoding", "identity"]]})", "abcd", {100}},
        {R"([{"status": 308, "headers": [["Location", "http://mirror.orvek.example/fw"]]}, {"body": "abcd"}])", "abcd",
         {100}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.pszScenario);
        CDownloadRun run = Run(row.pszScenario);
        EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
        EXPECT_TRUE(run.HasBegin());
        EXPECT_EQ(row.arrPercent, run.Percentages()) << run.Describe();
        EXPECT_EQ(1, run.Completion()) << run.Describe();
        ASSERT_EQ(strlen(row.pszBody), g_nImageSize);
        EXPECT_EQ(0, memcmp(row.pszBody, g_pImage, g_nImageSize));
    }
}

TEST_F(DownloadWorkerTest, MillionBytesReportEveryPercentOnceAndFillTheImage)
{
    CDownloadRun run = Run(R"({"body": {"size": 1000000, "seed": 7}})");
    EXPECT_EQ(EveryPercent(), run.Percentages());
    ASSERT_EQ(102u, run.m_arrReports.size()) << run.Describe();
    EXPECT_EQ('B', run.m_arrReports.front().m_chKind);
    EXPECT_EQ(1, run.Completion());

    // The pair is set between the begin report and the first read.
    EXPECT_EQ(nullptr, run.m_pImageAtBegin);
    EXPECT_EQ(0u, run.m_nImageSizeAtBegin);
    EXPECT_EQ(g_pImage, run.m_pImageAtProgress);
    EXPECT_EQ(1000000u, run.m_nImageSizeAtProgress);

    ASSERT_EQ(1000000u, g_nImageSize);
    const std::vector<unsigned char> arrBody = ServiceGeneratedBody(1000000, 7);
    EXPECT_EQ(0, memcmp(arrBody.data(), g_pImage, arrBody.size()));
}

// 1% of the body every 20 ms: each percentage is reported once, as its
// bytes arrive, not when a whole block of the framework's buffer has.
TEST_F(DownloadWorkerTest, SlowBodyReportsEachPercentageAsItsBytesArrive)
{
    CDownloadRun run = Run(R"({"body": {"size": 30000, "seed": 3}, "chunk_size": 300, "chunk_delay": 0.02})");
    EXPECT_EQ(1, run.Completion()) << run.Describe();
    EXPECT_EQ(EveryPercent(), run.Percentages());
    DWORD dwLongestGap = 0;
    for (size_t iReport = 1; iReport < run.m_arrReports.size(); ++iReport)
        dwLongestGap = std::max(dwLongestGap, run.m_arrReports[iReport].m_dwTick - run.m_arrReports[iReport - 1].m_dwTick);
    EXPECT_LT(dwLongestGap, 500u) << "the body takes 2 s to arrive";
    ASSERT_EQ(30000u, g_nImageSize);
    EXPECT_EQ(0, memcmp(ServiceGeneratedBody(30000, 3).data(), g_pImage, 30000));
}

TEST_F(DownloadWorkerTest, ErrorHeaderDoesNotMatterForStatus200)
{
    CDownloadRun run = Run(R"({"body": "abcd", "headers": ["X-Orvek-Error: ignored"]})");
    EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
    EXPECT_EQ(1, run.Completion());
}

TEST_F(DownloadWorkerTest, StatusOtherThan200ShowsItsTextAndLeavesTheImageAlone)
{
    struct
    {
        const char* pszScenario;
        const wchar_t* pszText;
    } const rows[] = {
        {R"({"status": 404, "body": "not here"})", L"HTTP Status Code 404"},
        {R"({"status": 500, "headers": ["X-Orvek-Error: \t Server on fire \t"]})", L"Server on fire"},
        {R"({"status": 500, "headers": ["X-Orvek-Error: retry at 10:30: later"]})", L"retry at 10:30: later"},
        {R"({"status": 500, "headers": ["X-Orvek-Error: first", "X-Orvek-Error: second"]})", L"second"},
        // Without a text of its own a 500 is shown by its status.
        {R"({"status": 500, "headers": ["x-orvek-error: lower case"]})", L"HTTP Status Code 500"},
        {R"({"status": 500, "headers": ["X-Orvek-Error:    "]})", L"HTTP Status Code 500"},
        {R"({"status": 500})", L"HTTP Status Code 500"},
        // A non-HTTP answer has no status line; Wine reports status 0.
        {R"({"action": "raw", "body": "garbage"})", L"HTTP Status Code 0"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.pszScenario);
        BYTE* pEarlier = new BYTE[8];
        g_pImage = pEarlier;
        g_nImageSize = 8;
        CDownloadRun run = Run(row.pszScenario);
        ExpectFailure(run, row.pszText, false);
        EXPECT_EQ(1u, run.m_arrReports.size()) << run.Describe();
        EXPECT_EQ(pEarlier, g_pImage);
        EXPECT_EQ(8u, g_nImageSize);
        ReleaseImage();
    }
}

TEST_F(DownloadWorkerTest, BodyThatBreaksItsLengthIsRefused)
{
    struct
    {
        const char* pszScenario;
        const wchar_t* pszText;
        UINT32 nImageSize;
        const char* pszImage;
    } const rows[] = {
        {R"({"content_length": null, "body": "abcdefgh"})", NO_LENGTH_TEXT, 0, ""},
        {R"({"content_length": 0, "body": "abcdefgh"})", NO_LENGTH_TEXT, 0, ""},
        {R"({"content_length": "abc", "body": "abcdefgh"})", NO_LENGTH_TEXT, 0, ""},
        {R"({"content_length": 8, "headers": [["Content-Length", "7"]], "body": "abcdefgh"})", NO_LENGTH_TEXT, 0, ""},
        // Wine hands over only what came with the head beyond the declared
        // length, so the head and the surplus go in one piece.
        {R"({"action": "raw", "body": "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabcdefgh"})", TOO_LONG_TEXT, 3,
         "abc"},
        {R"({"content_length": 20, "body": "abcdefgh"})", TOO_SHORT_TEXT, 20, "abcdefgh"},
#ifdef _WIN64
        // A 64-bit process gets the 4 GB buffer, and the body is short of it.
        {R"({"content_length": 4000000000, "body": "abcdefgh"})", TOO_SHORT_TEXT, 4000000000u, "abcdefgh"},
#else
        {R"({"content_length": 4000000000, "body": "abcdefgh"})", NO_MEMORY_TEXT, 0, ""},
#endif
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.pszScenario);
        CDownloadRun run = Run(row.pszScenario);
        ExpectFailure(run, row.pszText, true);
        EXPECT_EQ(row.nImageSize, g_nImageSize);
        EXPECT_EQ(0, memcmp(row.pszImage, g_pImage, strlen(row.pszImage)));
        ReleaseImage();
    }
}

// Compressed on the way, by a proxy or a mirror, the body is no image, and
// may well hide a page: refused before anything is kept.
TEST_F(DownloadWorkerTest, EncodedBodyIsRefusedBeforeTheBegin)
{
    const char* const rows[] = {
        R"({"body": {"hex": "1f8b08000000000002034b4c4a4e494d4bcf0000502aefae08000000"},
            "headers": [["Content-Encoding", "gzip"]]})",
        R"({"body": "abcdefgh", "headers": [["Content-Encoding", "identity"], ["content-encoding", "br"]]})",
    };
    for (const char* pszScenario : rows)
    {
        SCOPED_TRACE(pszScenario);
        CDownloadRun run = Run(pszScenario);
        ExpectFailure(run, ENCODED_TEXT, false);
        EXPECT_EQ(nullptr, g_pImage);
    }
}

// Whoever answers a redirected request with 407 gets no fresh dialogs:
// three for the whole click, then the box that the password was refused.
TEST_F(DownloadWorkerTest, ThreePasswordDialogsAtMostAcrossRedirects)
{
    const std::string strAsk = R"({"status": 407, "headers": [["Proxy-Authenticate", "Basic realm=\"Orvek\""]]})";
    CDownloadRun run =
        Run("[" + strAsk + R"(, {"status": 302, "headers": [["Location", "http://mirror.orvek.example/fw"]]}, )"
            + strAsk + "]");
    ASSERT_EQ(4u, run.m_arrBoxes.size()) << "three dialogs and the box: " << run.Describe();
    EXPECT_STREQ(PROXY_REFUSED_TEXT, run.m_arrBoxes.back().m_strText.c_str());
    EXPECT_EQ(0, run.Completion()) << run.Describe();
    EXPECT_FALSE(run.HasBegin());
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    EXPECT_EQ("GET http://mirror.orvek.example:80/fw HTTP/1.0", arrRequests.back().m_strRequestLine);
}

// Told by its bytes, whatever its label: nothing of the page is kept.
TEST_F(DownloadWorkerTest, WebPageFailsAndReleasesTheImage)
{
    CDownloadRun run =
        Run(R"({"body": "\r\n<html><body>Sign in</body></html>", "headers": [["Content-Type", "application/octet-stream"]]})");
    ExpectFailure(run, WEB_PAGE_TEXT, true);
    EXPECT_EQ(nullptr, g_pImage);
    EXPECT_EQ(0u, g_nImageSize);
}

// Paced, so that the head is read before the reset. Wine then either ends
// the reads quietly or fails one with WSAECONNRESET, which has no WinInet text.
TEST_F(DownloadWorkerTest, ResetMidBodyEndsInAFailureAfterTheBegin)
{
    CDownloadRun run = Run(R"({"body": {"size": 100000, "seed": 1}, "reset_after": 5000,
                                "chunk_size": 1000, "chunk_delay": 0.1})");
    ASSERT_EQ(1u, run.m_arrBoxes.size()) << run.Describe();
    const std::wstring strText = run.m_arrBoxes[0].m_strText;
    EXPECT_TRUE(strText == TOO_SHORT_TEXT || strText == L"Internet error 10054") << run.Describe();
    EXPECT_TRUE(run.HasBegin());
    EXPECT_EQ(0, run.Completion());
    EXPECT_EQ(100000u, g_nImageSize);
}

// A service that stops sending in the middle of the body: once the receive
// time-out (shortened here) has passed, the platform's time-out box, after
// the bar has moved.
TEST_F(DownloadWorkerTest, BodyThatStallsEndsInTheTimeOutBox)
{
    g_dwReceiveTimeoutMs = 1000;
    CDownloadRun run = Run(R"({"body": {"size": 300000, "seed": 51}, "stall_after": 100000})");
    g_dwReceiveTimeoutMs = RECEIVE_TIMEOUT_MS;
    const std::wstring strTimedOut = WinInetBoxText(ERROR_INTERNET_TIMEOUT);
    ASSERT_FALSE(strTimedOut.empty());
    ExpectFailure(run, strTimedOut.c_str(), true);
    EXPECT_FALSE(run.Percentages().empty()) << run.Describe();
    EXPECT_GE(run.m_dwElapsedMs, 1000u);
}

// A download after a failed one starts from a fresh buffer of its own length.
TEST_F(DownloadWorkerTest, DownloadAfterAFailedOneReplacesItsImage)
{
    Run(R"({"content_length": 20, "body": "abcdefgh"})");
    ASSERT_EQ(20u, g_nImageSize);
    CDownloadRun run = Run(R"({"body": "0123456789"})");
    EXPECT_EQ(1, run.Completion()) << run.Describe();
    ASSERT_EQ(10u, g_nImageSize);
    EXPECT_EQ(0, memcmp("0123456789", g_pImage, 10));
}
