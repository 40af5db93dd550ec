// Downloads the update service's image once and prints how long it took:
//   DownloadBench.exe wininet     a plain WinInet reader, 64 KiB a read
//   DownloadBench.exe framework   the framework's CHttpFile, read 4 bytes at a time, nothing else
//   DownloadBench.exe worker      the program's download worker, reporting to a hidden window
//   DownloadBench.exe percent N   no download: ProgressPercent once for each 4-byte read of N bytes
// Both make the program's request (agent, proxy setting, version, flags).
// Output: "result seconds=S cpu=C bytes=N crc=XXXXXXXX reports=P", C being
// this process's CPU time over the same stretch.
#include <windows.h>
#include <wininet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include "Crc32.h"
#include "Stopwatch.h"
#include "TimedReportWindow.h"
#include "app/ImageBuffer.h"
#include "app/Progress.h"
#include "app/WorkerStart.h"
#include "download/DownloadWorker.h"
#include "framework/afxinet.h"
#include "framework/afxwin.h"

namespace
{
constexpr DWORD kReadBlock = 64 * 1024;
constexpr UINT kSmallRead = 4;
constexpr DWORD kTimeoutMs = 300000;

void PrintResult(double dSeconds, double dCpuSeconds, const unsigned char* pBytes, size_t nBytes, int nReports)
{
    printf("result seconds=%.6f cpu=%.3f bytes=%lu crc=%08lx reports=%d\n", dSeconds, dCpuSeconds,
           static_cast<unsigned long>(nBytes), static_cast<unsigned long>(Crc32(pBytes, nBytes)), nReports);
}

int Fail(const char* pszWhat)
{
    fprintf(stderr, "DownloadBench: %s failed, error %lu\n", pszWhat, ::GetLastError());
    return 1;
}

int RunWinInet()
{
    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    HINTERNET hSession = ::InternetOpenW(L"Orvek Updater", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (hSession == nullptr)
        return Fail("InternetOpenW");
    HINTERNET hConnection = ::InternetConnectW(hSession, L"update.orvek.example", INTERNET_DEFAULT_HTTP_PORT,
                                               nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    if (hConnection == nullptr)
        return Fail("InternetConnectW");
    HINTERNET hRequest = ::HttpOpenRequestW(hConnection, L"GET", L"/device/update?version=2.0", L"HTTP/1.0",
                                            nullptr, nullptr, INTERNET_FLAG_EXISTING_CONNECT, 1);
    if (hRequest == nullptr)
        return Fail("HttpOpenRequestW");
    if (!::HttpSendRequestW(hRequest, nullptr, 0, nullptr, 0))
        return Fail("HttpSendRequestW");
    DWORD dwStatus = 0;
    DWORD dwLength = sizeof(dwStatus);
    if (!::HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwLength, nullptr)
        || dwStatus != 200)
    {
        fprintf(stderr, "DownloadBench: status %lu\n", dwStatus);
        return 1;
    }
    DWORD dwDeclared = 0;
    dwLength = sizeof(dwDeclared);
    if (!::HttpQueryInfoW(hRequest, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwDeclared, &dwLength,
                          nullptr))
        return Fail("HttpQueryInfoW(Content-Length)");
    std::vector<unsigned char> arrImage(dwDeclared);
    DWORD dwReceived = 0;
    while (dwReceived < dwDeclared)
    {
        DWORD dwRead = 0;
        const DWORD dwWanted = dwDeclared - dwReceived < kReadBlock ? dwDeclared - dwReceived : kReadBlock;
        if (!::InternetReadFile(hRequest, &arrImage[dwReceived], dwWanted, &dwRead))
            return Fail("InternetReadFile");
        if (dwRead == 0)
            break;
        dwReceived += dwRead;
    }
    const double dSeconds = BenchSeconds() - dStart;
    const double dCpuSeconds = BenchCpuSeconds() - dCpuStart;
    ::InternetCloseHandle(hRequest);
    ::InternetCloseHandle(hConnection);
    ::InternetCloseHandle(hSession);
    PrintResult(dSeconds, dCpuSeconds, arrImage.data(), dwReceived, 0);
    return 0;
}

int RunFramework()
{
    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    std::vector<unsigned char> arrImage;
    DWORD dwReceived = 0;
    double dSeconds = 0;
    double dCpuSeconds = 0;
    try
    {
        CInternetSession session(L"Orvek Updater", 1, INTERNET_OPEN_TYPE_PRECONFIG);
        std::unique_ptr<CHttpConnection> pConnection(
            session.GetHttpConnection(L"update.orvek.example", INTERNET_DEFAULT_HTTP_PORT));
        std::unique_ptr<CHttpFile> pFile(pConnection->OpenRequest(L"GET", L"/device/update?version=2.0", nullptr, 1,
                                                                  nullptr, L"HTTP/1.0",
                                                                  INTERNET_FLAG_EXISTING_CONNECT));
        pFile->SendRequest();
        DWORD dwStatus = 0;
        DWORD dwDeclared = 0;
        DWORD dwLength = sizeof(dwDeclared);
        if (!pFile->QueryInfoStatusCode(dwStatus) || dwStatus != 200
            || !pFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwDeclared, &dwLength))
        {
            fprintf(stderr, "DownloadBench: status %lu, no declared length\n", dwStatus);
            return 1;
        }
        arrImage.resize(dwDeclared);
        while (dwReceived < dwDeclared)
        {
            const DWORD dwDue = dwDeclared - dwReceived;
            const UINT nRead = pFile->Read(&arrImage[dwReceived], dwDue < kSmallRead ? dwDue : kSmallRead);
            if (nRead == 0)
                break;
            dwReceived += nRead;
        }
        dSeconds = BenchSeconds() - dStart;
        dCpuSeconds = BenchCpuSeconds() - dCpuStart;
    }
    catch (CInternetException* pException)
    {
        fprintf(stderr, "DownloadBench: WinInet error %lu\n", pException->m_dwError);
        pException->Delete();
        return 1;
    }
    PrintResult(dSeconds, dCpuSeconds, arrImage.data(), dwReceived, 0);
    return 0;
}

int RunPercent(UINT32 nTotal)
{
    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    int nChanges = 0;
    int nLast = 0;
    for (UINT32 nDone = kSmallRead; nDone - kSmallRead < nTotal; nDone += kSmallRead)
    {
        const int nPercent = ProgressPercent(nDone < nTotal ? nDone : nTotal, nTotal);
        if (nPercent != nLast)
        {
            nLast = nPercent;
            ++nChanges;
        }
    }
    const double dSeconds = BenchSeconds() - dStart;
    printf("result seconds=%.6f cpu=%.3f reports=%d\n", dSeconds, BenchCpuSeconds() - dCpuStart, nChanges);
    return 0;
}

int RunWorker()
{
    CWorkerRun run;
    CTimedReportWindow window(run);
    if (!window.Create())
        return Fail("CreateWindowExW");
    ReleaseImage();
    const double dCpuStart = BenchCpuSeconds();
    const double dStart = BenchSeconds();
    StartWorker(DownloadThreadProc, window.GetSafeHwnd());
    if (!window.WaitForCompletion(kTimeoutMs))
    {
        fprintf(stderr, "DownloadBench: no completion report within %lu ms\n", kTimeoutMs);
        return 1;
    }
    if (run.Completion() != 1)
    {
        fprintf(stderr, "DownloadBench: the worker reported failure\n");
        return 1;
    }
    PrintResult(window.m_dCompleteSeconds - dStart, window.m_dCompleteCpuSeconds - dCpuStart, g_pImage, g_nImageSize,
                static_cast<int>(run.Percentages().size()));
    ReleaseImage();
    return 0;
}
}

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "wininet") == 0)
        return RunWinInet();
    if (argc == 2 && strcmp(argv[1], "framework") == 0)
        return RunFramework();
    if (argc == 2 && strcmp(argv[1], "worker") == 0)
        return RunWorker();
    if (argc == 3 && strcmp(argv[1], "percent") == 0 && strtoul(argv[2], nullptr, 10) > 0)
        return RunPercent(strtoul(argv[2], nullptr, 10));
    fprintf(stderr, "usage: DownloadBench wininet|framework|worker | percent N\n");
    return 2;
}
