// The device gets the image the service sends now, from one updater: a
// cacheable answer leaves no copy on disk, and a second start of the program
// only brings the first window forward, or says why it ends.
#include "e2e/E2EFixture.h"
#include <set>
#include <vector>
#include "common/Wait.h"
#include "common/WindowSearch.h"
#include "standins/updateservice/ServiceControl.h"

namespace
{
// Every file of nSize bytes under strFolder and its subfolders.
void FindFilesOfSize(const std::wstring& strFolder, ULONGLONG nSize, std::set<std::wstring>& setFound)
{
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        const std::wstring strName = found.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        const std::wstring strPath = strFolder + L"\\" + strName;
        // Wine links the shell folders (Desktop, Documents...) to the Linux
        // home, outside the prefix: those links are not followed.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FindFilesOfSize(strPath, nSize, setFound);
        else if ((static_cast<ULONGLONG>(found.nFileSizeHigh) << 32 | found.nFileSizeLow) == nSize)
            setFound.insert(strPath);
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
}

// The files of nSize bytes in every user's folder of this Wine prefix, where
// the Internet cache keeps its copies.
std::set<std::wstring> UserFilesOfSize(ULONGLONG nSize)
{
    wchar_t szProfile[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"USERPROFILE", szProfile, MAX_PATH);
    std::wstring strUsers = szProfile;
    strUsers.resize(strUsers.find_last_of(L'\\'));
    std::set<std::wstring> setFound;
    FindFilesOfSize(strUsers, nSize, setFound);
    return setFound;
}

// Every updater window on the desktop.
std::vector<HWND> UpdaterWindows()
{
    CWindowSearch search;
    search.m_pfnMatch = CUpdaterWindow::IsUpdaterWindow;
    return FindTopWindows(search);
}
}

// A cacheable answer, as web servers and CDNs commonly send it: the update
// works, no copy of the image stays behind, and the request is the plain one.
TEST_F(CE2ETest, CacheableAnswerUpdatesAndLeavesNoCopyOnDisk)
{
    constexpr unsigned kImageSize = 300007;
    ASSERT_NO_FATAL_FAILURE(SetScenario(
        R"({"body": {"size": 300007, "seed": 81}, "headers": ["Cache-Control: public, max-age=86400"]})"));
    const std::set<std::wstring> setBefore = UserFilesOfSize(kImageSize);
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 81));
    m_window.ClickButton();
    ExpectProcessEnds();

    const std::set<std::wstring> setAfter = UserFilesOfSize(kImageSize);
    EXPECT_EQ(setBefore, setAfter) << "files of the image's size in the user folders, before and after";

    std::vector<CServiceRequest> arrRequests;
    ASSERT_TRUE(ServiceRequests(arrRequests));
    ASSERT_EQ(arrRequests.size(), 1u) << ServiceRequestsJson();
    EXPECT_EQ(arrRequests[0].m_strRequestLine, "GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0");
    const std::vector<std::string> arrHeaders = { "Host: update.orvek.example", "User-Agent: Orvek Updater" };
    EXPECT_EQ(arrRequests[0].m_arrHeaderLines, arrHeaders) << ServiceRequestsJson();
    EXPECT_TRUE(arrRequests[0].m_strBody.empty());
}

// Started again while its window is minimised behind another one: the second
// program shows nothing, never looks for the device, brings the first window
// back to the front and ends; the first window then updates as usual.
TEST_F(CE2ETest, SecondStartBringsTheRunningWindowForwardAndEnds)
{
    const std::vector<unsigned char> arrImage = ServeImage(200000, 82);
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(StartUpdater(CWindowView::Connected()));
    // Wine minimises another process's window a moment later, and now and
    // then drops the request when the window has only just been shown: it
    // is asked again every half second until the window is minimised.
    DWORD dwAsked = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            if (::IsIconic(m_window.Handle()))
                return true;
            if (dwAsked == 0 || ::GetTickCount() - dwAsked >= 500)
            {
                ::ShowWindow(m_window.Handle(), SW_MINIMIZE);
                dwAsked = ::GetTickCount() | 1;
            }
            return false;
        },
        STATE_TIMEOUT_MS, 10))
        << "the first window was never minimised";
    const HWND hOther = ::CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                          300, 200, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(hOther);
    ASSERT_EQ(::GetForegroundWindow(), hOther);

    CUpdaterProcess second;
    ASSERT_TRUE(second.Start()) << "cannot start a second OrvekUpdater.exe, error " << second.LastError();
    HWND hShown = nullptr;
    PumpUntil([&] { return second.HasEnded() || (hShown = second.FindVisibleWindow()) != nullptr; },
              EXIT_TIMEOUT_MS);
    EXPECT_EQ(hShown, nullptr) << "the second program showed a window";
    ASSERT_TRUE(second.WaitForExit(EXIT_TIMEOUT_MS)) << "the second program is still running";

    EXPECT_EQ(UpdaterWindows().size(), 1u) << "updater windows on the desktop";
    EXPECT_FALSE(::IsIconic(m_window.Handle())) << "the first window is still minimised";
    EXPECT_EQ(::GetForegroundWindow(), m_window.Handle()) << "the first window is not in front";
    ::DestroyWindow(hOther);
    // The first program's probes are in the stand-in's log, the second's must not be.
    const std::string strFirstPid = " pid=" + std::to_string(m_process.Id()) + " ";
    const std::string strSecondPid = " pid=" + std::to_string(second.Id()) + " ";
    bool bFirstProbed = false;
    for (const std::string& strLine : m_sim.SetupApiLog())
    {
        bFirstProbed = bFirstProbed || strLine.find(strFirstPid) != std::string::npos;
        EXPECT_EQ(strLine.find(strSecondPid), std::string::npos) << "the second program looked for the device: " << strLine;
    }
    EXPECT_TRUE(bFirstProbed) << "no probe of the first program in the log";

    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(CWindowView::Done()));
    ExpectDeviceHolds(arrImage);
    CDeviceStats stats;
    ASSERT_TRUE(m_sim.GetStats(DEVICE_NAME, stats)) << m_sim.LastReply();
    EXPECT_EQ(stats.m_nPipeOpens, 1u) << "pipe opens";
}

// The lock held by a program with no updater window (this test, as an
// updater in another user's session would): the second start says so in a
// box and, after OK, ends without a look for the device.
TEST_F(CE2ETest, SecondStartWithTheLockHeldElsewhereSaysSoAndEnds)
{
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    const HANDLE hLock = ::CreateMutexW(nullptr, FALSE, L"Global\\OrvekUpdater.Running");
    ASSERT_NE(hLock, nullptr) << "error " << ::GetLastError();
    ASSERT_TRUE(m_process.Start()) << "cannot start OrvekUpdater.exe, error " << m_process.LastError();

    HWND hBox = nullptr;
    WaitFor([&] { return (hBox = m_process.FindVisibleWindow()) != nullptr || m_process.HasEnded(); },
            STATE_TIMEOUT_MS, 20);
    ASSERT_NE(hBox, nullptr) << "the second start showed nothing";
    EXPECT_FALSE(CUpdaterWindow::IsUpdaterWindow(hBox)) << "a window, not a box";
    wchar_t szText[512] = {};
    ::GetDlgItemTextW(hBox, 0xFFFF, szText, 512);
    EXPECT_STREQ(szText, L"Orvek Updater is already running elsewhere on this computer, for example for another "
                         L"user.\n\nOnly one Orvek Updater can use the Orvek at a time.");
    ASSERT_TRUE(CUpdaterWindow::DismissMessageBox(hBox, IDOK));
    EXPECT_TRUE(m_process.WaitForExit(EXIT_TIMEOUT_MS)) << "the updater is still running";
    ::CloseHandle(hLock);

    const std::string strPid = " pid=" + std::to_string(m_process.Id()) + " ";
    for (const std::string& strLine : m_sim.SetupApiLog())
        EXPECT_EQ(strLine.find(strPid), std::string::npos) << "the updater looked for the device: " << strLine;
}
