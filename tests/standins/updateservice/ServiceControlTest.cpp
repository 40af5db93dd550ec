// Checks the stand-in from a Windows program: Wine's WinInet reaches it through http_proxy, and the
// control client sets scenarios, reads the request log and recomputes generated bodies.
#include "ServiceControl.h"

#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

namespace
{
struct CFetchResult
{
    bool m_bSent = false;
    DWORD m_dwStatus = 0;
    std::string m_strBody;
};

// The request the updater makes, with the same WinInet parameters.
CFetchResult FetchUpdate()
{
    CFetchResult result;
    HINTERNET hInternet = InternetOpenW(L"Orvek Updater", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET hConnect = hInternet ? InternetConnectW(hInternet, L"update.orvek.example", INTERNET_DEFAULT_HTTP_PORT,
                                                      nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1)
                                   : nullptr;
    HINTERNET hRequest = hConnect ? HttpOpenRequestW(hConnect, L"GET", L"/device/update?version=2.0", L"HTTP/1.0",
                                                     nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT, 1)
                                  : nullptr;
    if (hRequest && HttpSendRequestW(hRequest, nullptr, 0, nullptr, 0))
    {
        result.m_bSent = true;
        DWORD dwLength = sizeof(result.m_dwStatus);
        HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &result.m_dwStatus, &dwLength,
                       nullptr);
        char buffer[65536];
        DWORD dwRead = 0;
        while (InternetReadFile(hRequest, buffer, sizeof(buffer), &dwRead) && dwRead != 0)
            result.m_strBody.append(buffer, dwRead);
    }
    if (hRequest)
        InternetCloseHandle(hRequest);
    if (hConnect)
        InternetCloseHandle(hConnect);
    if (hInternet)
        InternetCloseHandle(hInternet);
    return result;
}

class ServiceControlTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ServiceReset()) << "stand-in not reachable on port " << ServicePort(); }
};
}

TEST_F(ServiceControlTest, GeneratedBodyMatchesDocumentedStream)
{
    const unsigned char expected[] = {0x21, 0x20, 0x04, 0x00, 0x01, 0x06, 0x08, 0x04};
    std::vector<unsigned char> arrBody = ServiceGeneratedBody(sizeof(expected), 1);
    EXPECT_EQ(std::vector<unsigned char>(expected, expected + sizeof(expected)), arrBody);
    EXPECT_EQ(ServiceGeneratedBody(4, 0x9E3779B9u), ServiceGeneratedBody(4, 0));
}

TEST_F(ServiceControlTest, WinInetFetchesGeneratedBodyThroughProxy)
{
    ASSERT_TRUE(ServiceSetScenario(R"({"status": 200, "body": {"size": 100003, "seed": 7}})"));
    CFetchResult result = FetchUpdate();
    ASSERT_TRUE(result.m_bSent) << "HttpSendRequestW failed, error " << GetLastError();
    EXPECT_EQ(200u, result.m_dwStatus);
    std::vector<unsigned char> arrExpected = ServiceGeneratedBody(100003, 7);
    EXPECT_TRUE(std::string(arrExpected.begin(), arrExpected.end()) == result.m_strBody)
        << "got " << result.m_strBody.size() << " bytes, expected " << arrExpected.size();
}

// What Wine's WinInet puts on the wire for the updater's request: nothing beyond Host and User-Agent.
TEST_F(ServiceControlTest, LogHoldsRequestExactlyAsWinInetSentIt)
{
    ASSERT_TRUE(ServiceSetScenario(R"({"status": 404})"));
    CFetchResult result = FetchUpdate();
    EXPECT_EQ(404u, result.m_dwStatus);
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(1u, arrRequests.size()) << ServiceRequestsJson();
    const CServiceRequest& request = arrRequests[0];
    EXPECT_EQ("GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0", request.m_strRequestLine);
    EXPECT_EQ((std::vector<std::string>{"Host: update.orvek.example", "User-Agent: Orvek Updater"}),
              request.m_arrHeaderLines);
    EXPECT_TRUE(request.m_strBody.empty());
    std::string strValue;
    EXPECT_TRUE(request.FindHeader("user-agent", strValue));
    EXPECT_EQ("Orvek Updater", strValue);
    EXPECT_FALSE(request.FindHeader("Content-Length", strValue));
}

TEST_F(ServiceControlTest, ScenarioListAnswersInTurnAndResetEmptiesLog)
{
    ASSERT_TRUE(ServiceSetScenario(R"([{"status": 500}, {"status": 200, "body": "ok"}])"));
    EXPECT_EQ(500u, FetchUpdate().m_dwStatus);
    EXPECT_EQ("ok", FetchUpdate().m_strBody);
    EXPECT_EQ("ok", FetchUpdate().m_strBody);
    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    EXPECT_EQ(3u, arrRequests.size());
    ASSERT_TRUE(ServiceReset());
    ASSERT_TRUE(ServiceRequests(arrRequests));
    EXPECT_TRUE(arrRequests.empty());
}

TEST_F(ServiceControlTest, BadScenarioIsRefusedWithReason)
{
    std::string strError;
    EXPECT_FALSE(ServiceSetScenario(R"({"stauts": 200})", strError));
    EXPECT_NE(std::string::npos, strError.find("stauts")) << strError;
    EXPECT_FALSE(ServiceSetScenario("not json", strError));
}
