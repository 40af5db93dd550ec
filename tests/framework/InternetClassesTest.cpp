// The framework's WinInet classes against the update-service stand-in.
#include "framework/afxinet.h"
#include "ServiceControl.h"
#include "support/WinInetText.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{
class InternetClassesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ServiceReset()) << "stand-in not reachable on port " << ServicePort(); }

    // Opens and sends a GET for /x to the stand-in (through http_proxy).
    void Open(const std::string& strScenario, bool bSend = true)
    {
        ASSERT_TRUE(ServiceSetScenario(strScenario));
        m_pSession.reset(new CInternetSession(L"Orvek Updater"));
        m_pConnection.reset(m_pSession->GetHttpConnection(L"update.orvek.example", INTERNET_DEFAULT_HTTP_PORT));
        m_pFile.reset(m_pConnection->OpenRequest(L"GET", L"/x", nullptr, 1, nullptr, L"HTTP/1.0"));
        if (bSend)
            m_pFile->SendRequest();
    }

    std::string ReadAll(UINT nStep)
    {
        std::string strBody;
        char buffer[70000];
        while (UINT nRead = m_pFile->Read(buffer, nStep))
        {
            EXPECT_LE(nRead, nStep);
            strBody.append(buffer, nRead);
        }
        return strBody;
    }

    void TearDown() override { Close(); }

    void Close()
    {
        m_pFile.reset();
        m_pConnection.reset();
        m_pSession.reset();
    }

    std::unique_ptr<CInternetSession> m_pSession;
    std::unique_ptr<CHttpConnection> m_pConnection;
    std::unique_ptr<CHttpFile> m_pFile;
};

std::string Generated(unsigned int nSize, unsigned int nSeed)
{
    std::vector<unsigned char> arrBody = ServiceGeneratedBody(nSize, nSeed);
    return std::string(arrBody.begin(), arrBody.end());
}

}

TEST_F(InternetClassesTest, ReadGivesTheBodyInPiecesOfAtMostTheSizeAskedFor)
{
    // Sizes that straddle the framework's own buffer, smaller and larger.
    for (UINT nStep : {1u, 4u, 7u, 65535u, 65536u, 70000u})
    {
        SCOPED_TRACE(nStep);
        try
        {
            Open(R"({"body": {"size": 200003, "seed": 5}})");
            EXPECT_TRUE(ReadAll(nStep) == Generated(200003, 5));
            char ch = 0;
            EXPECT_EQ(0u, m_pFile->Read(&ch, 1)) << "a read after the end";
            EXPECT_EQ(0u, m_pFile->Read(&ch, 0));
        }
        catch (CInternetException* pException)
        {
            ADD_FAILURE() << "WinInet error " << pException->m_dwError;
            pException->Delete();
        }
        Close();
    }
}

TEST_F(InternetClassesTest, ReadThatThePlatformRefusesRaises)
{
    Open(R"({"body": "abcd"})");
    // Closing the session invalidates the request's handle under the file.
    m_pSession->Close();
    char buffer[4];
    try
    {
        m_pFile->Read(buffer, 4);
        ADD_FAILURE() << "no exception";
    }
    catch (CInternetException* pException)
    {
        EXPECT_NE(0u, pException->m_dwError);
        EXPECT_EQ(1u, pException->m_dwContext);
        pException->Delete();
    }
}

TEST_F(InternetClassesTest, QueriesGiveStatusHeaderBlockAndNumbers)
{
    Open(R"({"status": 404, "content_length": 1234, "headers": ["A: 1", "B: x:y"]})");
    DWORD dwStatus = 0;
    EXPECT_TRUE(m_pFile->QueryInfoStatusCode(dwStatus));
    EXPECT_EQ(404u, dwStatus);

    CString strBlock;
    ASSERT_TRUE(m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS, strBlock));
    const std::wstring strRaw(strBlock.GetString(), strBlock.GetLength());
    EXPECT_EQ(0u, strRaw.find(L"HTTP/1.0 404 Not Found")) << "block starts with the status line";
    EXPECT_NE(std::wstring::npos, strRaw.find(std::wstring(L"\0A: 1\0B: x:y\0", 13)));
    EXPECT_EQ(L'\0', strRaw.back()) << "each line keeps its NUL";

    DWORD dwLength = 0;
    DWORD dwSize = sizeof(dwLength);
    EXPECT_TRUE(m_pFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwLength, &dwSize));
    EXPECT_EQ(1234u, dwLength);

    CString strMissing = L"stale";
    EXPECT_FALSE(m_pFile->QueryInfo(HTTP_QUERY_CONTENT_ENCODING, strMissing));
    EXPECT_TRUE(strMissing.IsEmpty());
}

// OpenRequest raises nothing: a request the platform could not open fails when sent.
TEST_F(InternetClassesTest, RequestThatCannotBeOpenedFailsWhenSent)
{
    CInternetSession session(L"Orvek Updater");
    std::unique_ptr<CHttpConnection> pConnection(session.GetHttpConnection(L"update.orvek.example", 80));
    pConnection->Close();
    std::unique_ptr<CHttpFile> pFile(pConnection->OpenRequest(L"GET", L"/x"));
    EXPECT_EQ(nullptr, static_cast<HINTERNET>(*pFile));
    try
    {
        pFile->SendRequest();
        ADD_FAILURE() << "no exception";
    }
    catch (CInternetException* pException)
    {
        // The open's own error, as the platform gives it for a closed connection.
        EXPECT_EQ(nullptr, ::HttpOpenRequestW(*pConnection, L"GET", L"/x", nullptr, nullptr, nullptr, 0, 1));
        EXPECT_EQ(::GetLastError(), pException->m_dwError);
        pException->Delete();
    }
}

TEST(InternetException, GivesWinInetsOwnTextCutToTheBuffer)
{
    CInternetException exception(ERROR_INTERNET_NAME_NOT_RESOLVED, 1);
    const std::wstring strPlatform = WinInetText(ERROR_INTERNET_NAME_NOT_RESOLVED);
    ASSERT_FALSE(strPlatform.empty());

    WCHAR szText[1024];
    UINT nHelp = 99;
    EXPECT_TRUE(exception.GetErrorMessage(szText, 1024, &nHelp));
    EXPECT_EQ(strPlatform, szText);
    EXPECT_EQ(0u, nHelp);

    WCHAR szShort[6];
    EXPECT_TRUE(exception.GetErrorMessage(szShort, 6));
    EXPECT_EQ(strPlatform.substr(0, 5), szShort);
}

TEST(InternetException, NoTextForCodesWithoutOne)
{
    // Not a WinInet code; and an extended error with no server response on this thread.
    for (DWORD dwError : {static_cast<DWORD>(ERROR_SUCCESS), static_cast<DWORD>(ERROR_INTERNET_EXTENDED_ERROR)})
    {
        CInternetException exception(dwError, 1);
        WCHAR szText[64] = L"stale";
        EXPECT_FALSE(exception.GetErrorMessage(szText, 64)) << dwError;
        EXPECT_STREQ(L"", szText);
    }
}
