// The transfer worker writing into the device simulator's PIPE00, reporting
// to a real window.
#include "app/UserTexts.h"
#include "support/DeviceStats.h"
#include "support/ExpectFailure.h"
#include "support/TransferRun.h"
#include "support/Wait.h"
#include "DeviceSimControl.h"
#include "device/FirmwareTransfer.h"
#include "app/ImageBuffer.h"

#include <climits>
#include <cstring>
#include <new>
#include <thread>
#include <gtest/gtest.h>

namespace
{

// Plays a driver that refuses the writes numbered g_nRefuseFrom (from 0) to
// g_nRefuseFrom + g_nRefusals - 1 with g_dwRefusal, as no named pipe can.
LONG volatile g_nWriteCalls = 0;
LONG g_nRefuseFrom = 0;
LONG g_nRefusals = 0;
DWORD g_dwRefusal = ERROR_GEN_FAILURE;

BOOL WINAPI RefusingWriteFile(HANDLE hFile, LPCVOID pBuffer, DWORD nCount, LPDWORD pdwWritten, LPOVERLAPPED pOverlapped)
{
    const LONG nCall = ::InterlockedIncrement(&g_nWriteCalls) - 1;
    if (nCall >= g_nRefuseFrom && nCall - g_nRefuseFrom < g_nRefusals)
    {
        ::SetLastError(g_dwRefusal);
        return FALSE;
    }
    return ::WriteFile(hFile, pBuffer, nCount, pdwWritten, pOverlapped);
}

// Plays a driver that ends a write inside the call, for the whole of which
// the window asks to stop: the stop must return while the call goes on.
LONG volatile g_bStopReturned = FALSE;
bool g_bStopReturnedInCall = false;

BOOL WINAPI StoppedWriteFile(HANDLE hFile, LPCVOID pBuffer, DWORD nCount, LPDWORD pdwWritten, LPOVERLAPPED pOverlapped)
{
    if (::InterlockedIncrement(&g_nWriteCalls) == 3)
    {
        std::thread stop([] {
            StopTransfer();
            ::InterlockedExchange(&g_bStopReturned, TRUE);
        });
        // Bounded, so that a stop that waits for this call fails the test
        // instead of hanging it.
        g_bStopReturnedInCall = WaitFor([] { return g_bStopReturned != FALSE; }, 10000, 10);
        stop.detach();
    }
    return ::WriteFile(hFile, pBuffer, nCount, pdwWritten, pOverlapped);
}

// Plays an allocation that fails inside the write.
BOOL WINAPI ThrowingWriteFile(HANDLE hFile, LPCVOID pBuffer, DWORD nCount, LPDWORD pdwWritten, LPOVERLAPPED pOverlapped)
{
    if (::InterlockedIncrement(&g_nWriteCalls) == 2)
        throw std::bad_alloc();
    return ::WriteFile(hFile, pBuffer, nCount, pdwWritten, pOverlapped);
}

// A driver that never ends a cancelled write.
BOOL WINAPI IgnoredCancelIoEx(HANDLE, LPOVERLAPPED)
{
    return TRUE;
}

// "" when equal, else where and how they differ.
std::string Compare(const std::vector<unsigned char>& expected, const std::vector<unsigned char>& got)
{
    const size_t nCommon = std::min(expected.size(), got.size());
    for (size_t i = 0; i < nCommon; ++i)
        if (expected[i] != got[i])
            return "first difference at byte " + std::to_string(i) + " of " + std::to_string(got.size());
    if (expected.size() != got.size())
        return "got " + std::to_string(got.size()) + " bytes, expected " + std::to_string(expected.size());
    return std::string();
}

class FirmwareTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ReleaseImage();
        ASSERT_TRUE(m_sim.Start()) << m_sim.LastReply();
    }

    void TearDown() override
    {
        m_sim.Stop();
        ReleaseImage();
        g_dwWriteTimeoutMs = WRITE_TIMEOUT_MS;
        g_dwWriteRetryDelayMs = WRITE_RETRY_DELAY_MS;
        g_dwCancelWaitMs = CANCEL_WAIT_MS;
        g_pfnWriteFile = ::WriteFile;
        g_pfnCancelIoEx = ::CancelIoEx;
        g_lTransferStopped = FALSE;
    }

    // A transfer during which strDevice is pulled out dwAfterMs after the
    // start (0: never), at dwUnpluggedAt.
    CTransferRun RunUnplugging(const std::string& strDevice, DWORD dwAfterMs, DWORD& dwUnpluggedAt)
    {
        std::thread unplug([&] {
            if (dwAfterMs == 0)
                return;
            ::Sleep(dwAfterMs);
            dwUnpluggedAt = ::GetTickCount();
            m_sim.Unplug(strDevice);
        });
        CTransferRun run = RunTransfer(nullptr, std::string(), 60000);
        unplug.join();
        return run;
    }

    // A device that allows no second open while its pipe is open.
    void PlugExclusive(const std::string& strDevice)
    {
        ASSERT_TRUE(m_sim.Plug(strDevice) && m_sim.Exclusive(strDevice)) << m_sim.LastReply();
    }

    // The next transfer's writes from nFrom on fail nCount times with dwError.
    static void RefuseWrites(LONG nFrom, LONG nCount, DWORD dwError)
    {
        g_nWriteCalls = 0;
        g_nRefuseFrom = nFrom;
        g_nRefusals = nCount;
        g_dwRefusal = dwError;
        g_pfnWriteFile = RefusingWriteFile;
    }

    // With arrDrainedAt, the run watches the device (RunTransfer).
    CTransferRun Run(const std::string& strDevice = "dev", const std::vector<WPARAM>& arrDrainedAt = {})
    {
        CTransferRun run = RunTransfer(arrDrainedAt.empty() ? nullptr : &m_sim, strDevice, 120000, arrDrainedAt);
        EXPECT_TRUE(run.m_bFinished) << "worker still running: " << run.Describe();
        EXPECT_TRUE(m_sim.WaitIdle(strDevice)) << m_sim.LastReply();
        return run;
    }

    // Begin first, completion last and only one of each; the image pair
    // emptied before the completion report.
    static void ExpectFrame(const CTransferRun& run, int nCompletion)
    {
        ASSERT_GE(run.m_arrReports.size(), 2u) << run.Describe();
        EXPECT_EQ('B', run.m_arrReports.front().m_chKind) << run.Describe();
        EXPECT_EQ('C', run.m_arrReports.back().m_chKind) << run.Describe();
        EXPECT_EQ(nCompletion, static_cast<int>(run.m_arrReports.back().m_wParam)) << run.Describe();
        size_t nFrame = 0;
        for (const CReport& report : run.m_arrReports)
            nFrame += report.m_chKind != 'P';
        EXPECT_EQ(2u, nFrame) << run.Describe();
        EXPECT_EQ(nullptr, run.m_pImageAtComplete);
        EXPECT_EQ(0u, run.m_nImageSizeAtComplete);
        EXPECT_EQ(nullptr, g_pImage);
        EXPECT_EQ(0u, g_nImageSize);
    }

    // The failure as ExpectFailure has it, in the transfer's frame.
    static void ExpectFailure(const CTransferRun& run, const wchar_t* pszText)
    {
        ExpectFrame(run, 0);
        ::ExpectFailure(run, pszText);
    }

    CDeviceSimulator m_sim;
};
}

TEST_F(FirmwareTransferTest, DeviceReceivesTheHeadBytesThenTheBody)
{
    static const struct
    {
        size_t m_nSize;
        std::vector<WPARAM> m_arrPercent;
    } kRows[] = {
        {1024, {}},      // no body piece
        {1025, {}},      // one piece of 1 byte: 0 %
        {3072, {66}},    // one piece of 2048
        {5120, {40, 80}},
        {274937, {}},    // progress checked below
        {1048576, {}},
    };
    int nRow = 0;
    for (const auto& row : kRows)
    {
        SCOPED_TRACE("image of " + std::to_string(row.m_nSize) + " bytes");
        const std::string strDevice = "dev" + std::to_string(nRow++);
        ASSERT_TRUE(m_sim.Plug(strDevice)) << m_sim.LastReply();
        const std::vector<unsigned char> image = MakeImage(row.m_nSize);
        SetImage(image);

        const CTransferRun run = Run(strDevice);
        ExpectFrame(run, 1);
        EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
        if (row.m_nSize < 100000)
        {
            EXPECT_EQ(row.m_arrPercent, run.Percentages()) << run.Describe();
        }
        EXPECT_EQ("", Compare(DeviceStream(image), m_sim.RecordedBytes(strDevice)));

        const CDeviceStats stats = SettledStats(m_sim, strDevice);
        EXPECT_EQ(1u, stats.m_nPipeOpens);
        EXPECT_EQ(1u, stats.m_nPipeCloses);
        EXPECT_EQ(0u, stats.m_nPipeBreaks);
        ASSERT_TRUE(m_sim.Unplug(strDevice)) << m_sim.LastReply();
    }
}

TEST_F(FirmwareTransferTest, LargeImageReportsEachPercentOnceUpTo99)
{
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    SetImage(MakeImage(1048576));
    const CTransferRun run = Run();
    ExpectFrame(run, 1);
    std::vector<WPARAM> arrExpected;
    for (WPARAM n = 1; n <= 99; ++n)
        arrExpected.push_back(n);
    EXPECT_EQ(arrExpected, run.Percentages()) << run.Describe();
}

// The device has taken in exactly the pieces behind each report, so the
// reports follow the writes and not some other count.
TEST_F(FirmwareTransferTest, EachReportFollowsThePieceThatChangedThePercentage)
{
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    SetImage(MakeImage(5120));
    CTransferRun run = Run("dev", {40, 80});
    ExpectFrame(run, 1);
    EXPECT_EQ(0u, run.m_nSearchesAtBegin) << "the pipe was looked for before the begin report";
    EXPECT_EQ(20 + 2048, run.DeviceBytesAt(40)) << run.Describe();
    EXPECT_EQ(20 + 2 * 2048, run.DeviceBytesAt(80)) << run.Describe();

    // 98 pieces of 274937 give 72.9999964 %, which is 73 in single precision.
    ASSERT_TRUE(m_sim.Unplug("dev")) << m_sim.LastReply();
    ASSERT_TRUE(m_sim.Plug("dev2")) << m_sim.LastReply();
    SetImage(MakeImage(274937));
    run = Run("dev2", {72, 73});
    ExpectFrame(run, 1);
    EXPECT_EQ(20 + 97 * 2048, run.DeviceBytesAt(72)) << run.Describe();
    EXPECT_EQ(20 + 98 * 2048, run.DeviceBytesAt(73)) << run.Describe();
    EXPECT_EQ(99u, run.Percentages().back()) << run.Describe();
}

TEST_F(FirmwareTransferTest, PipeThatDoesNotOpenEndsTheTransferWithTheFailureBox)
{
    static const struct
    {
        const char* m_pszCase;
        bool m_bPlugged;
    } kRows[] = {
        {"no device", false},
        {"device refusing its pipe", true},
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.m_pszCase);
        if (row.m_bPlugged)
        {
            ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
            ASSERT_TRUE(m_sim.RefusePipe("dev")) << m_sim.LastReply();
        }
        SetImage(MakeImage(5120));
        const CTransferRun run = RunTransfer();
        ASSERT_TRUE(run.m_bFinished) << run.Describe();
        ExpectFailure(run, TRANSFER_FAILED_TEXT);
        EXPECT_TRUE(run.Percentages().empty()) << run.Describe();
        if (!row.m_bPlugged)
            continue;
        const CDeviceStats stats = SettledStats(m_sim, "dev");
        EXPECT_EQ(0u, stats.m_nPipeOpens);
        EXPECT_EQ(0u, stats.m_nPipeBytes);
    }
}

TEST_F(FirmwareTransferTest, ImageWithoutItsWholeHeadBlockIsNeverRead)
{
    static const struct
    {
        const char* m_pszCase;
        bool m_bBuffer;
        UINT32 m_nSize;
    } kRows[] = {
        {"no image", false, 0},
        {"a size but no buffer", false, 4096},
        {"1 byte", true, 1},
        {"1023 bytes", true, 1023},
    };
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.m_pszCase);
        if (row.m_bBuffer)
        {
            SetImage(MakeImage(row.m_nSize));
        }
        else
        {
            ReleaseImage();
            g_nImageSize = row.m_nSize;
        }
        const CTransferRun run = Run();
        ExpectFailure(run, INVALID_IMAGE_TEXT);
        EXPECT_TRUE(run.Percentages().empty()) << run.Describe();
    }
    EXPECT_EQ(0u, m_sim.EnumerationCount()) << "the device was looked for";
    EXPECT_TRUE(m_sim.RecordedBytes("dev").empty());
}

// The failing write spends its 3000 attempts, each followed by a pause (of
// 1 ms here), before the transfer gives up.
TEST_F(FirmwareTransferTest, PipeBreakingMidBodyEndsTheTransferOnceTheWriteHasSpentItsRetries)
{
    g_dwWriteRetryDelayMs = 1;
    const unsigned long long nBreakAt = 100000;
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    ASSERT_TRUE(m_sim.BreakAfter("dev", nBreakAt)) << m_sim.LastReply();
    const std::vector<unsigned char> image = MakeImage(1048576);
    SetImage(image);

    const CTransferRun run = Run();
    ExpectFailure(run, TRANSFER_FAILED_TEXT);
    EXPECT_GE(run.m_arrBoxes[0].m_dwShownAfterMs, WRITE_RETRY_LIMIT * g_dwWriteRetryDelayMs);
    ASSERT_FALSE(run.Percentages().empty()) << run.Describe();
    EXPECT_LT(run.Percentages().back(), 20u) << run.Describe();

    const CDeviceStats stats = SettledStats(m_sim, "dev");
    EXPECT_EQ(1u, stats.m_nPipeOpens);
    EXPECT_EQ(1u, stats.m_nPipeBreaks);
    std::vector<unsigned char> expected = DeviceStream(image);
    expected.resize(nBreakAt);
    EXPECT_EQ("", Compare(expected, m_sim.RecordedBytes("dev")));
}

// A device that stops taking data: the write ends at its deadline (shortened
// here) with the pipe closed, or within seconds of the device being pulled
// out, in a box that says which.
TEST_F(FirmwareTransferTest, WriteToADeviceThatStopsTakingDataEndsInABoxThatSaysWhy)
{
    static const struct
    {
        const char* m_pszDevice;
        DWORD m_dwDeadlineMs;
        DWORD m_dwUnplugAfterMs;  // 0: left plugged in
        const wchar_t* m_pszText;
    } kRows[] = {
        {"stalled", 1000, 0, DEVICE_STALLED_TEXT},
        {"unplugged", WRITE_TIMEOUT_MS, 500, DEVICE_UNPLUGGED_TEXT},
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.m_pszDevice);
        ASSERT_TRUE(m_sim.Plug(row.m_pszDevice) && m_sim.Stall(row.m_pszDevice)) << m_sim.LastReply();
        SetImage(MakeImage(1048576));
        g_dwWriteTimeoutMs = row.m_dwDeadlineMs;
        DWORD dwUnpluggedAt = 0;
        const CTransferRun run = RunUnplugging(row.m_pszDevice, row.m_dwUnplugAfterMs, dwUnpluggedAt);
        ASSERT_NO_FATAL_FAILURE(ExpectFailure(run, row.m_pszText));
        // The unplugging thread starts a little before the worker.
        const DWORD dwShownAt = run.m_dwStartTick + run.m_arrBoxes[0].m_dwShownAfterMs;
        const DWORD dwEndsAt = row.m_dwUnplugAfterMs == 0 ? run.m_dwStartTick + row.m_dwDeadlineMs : dwUnpluggedAt;
        EXPECT_GE(static_cast<LONG>(dwShownAt - dwEndsAt), 0);
        EXPECT_LT(dwShownAt - dwEndsAt, 5000u);
        if (row.m_dwUnplugAfterMs == 0)
        {
            ASSERT_TRUE(m_sim.Resume(row.m_pszDevice)) << m_sim.LastReply();
            const CDeviceStats stats = SettledStats(m_sim, row.m_pszDevice);
            EXPECT_EQ(1u, stats.m_nPipeCloses);
            ASSERT_TRUE(m_sim.Unplug(row.m_pszDevice)) << m_sim.LastReply();
        }
    }
}

// Drivers refuse single writes, and cancel requests of their own (a pipe
// reset, a power change): a device that is still listed gets its retries,
// even one that allows no second open while its pipe is open.
TEST_F(FirmwareTransferTest, WritesRefusedForAWhileAreRetriedOnADeviceThatAllowsOneOpen)
{
    g_dwWriteRetryDelayMs = 1;
    for (const DWORD dwError : { ERROR_GEN_FAILURE, ERROR_OPERATION_ABORTED })
    {
        const std::string strDevice = "refusing-" + std::to_string(dwError);
        SCOPED_TRACE(strDevice);
        ASSERT_NO_FATAL_FAILURE(PlugExclusive(strDevice));
        const std::vector<unsigned char> image = MakeImage(65536);
        SetImage(image);
        // From the sixth write on: the fifth no longer fits the pipe's 8 KiB,
        // so the device has taken the pipe (and is busy) by then.
        RefuseWrites(6, 50, dwError);

        const CTransferRun run = Run(strDevice);
        ExpectFrame(run, 1);
        EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
        EXPECT_EQ("", Compare(DeviceStream(image), m_sim.RecordedBytes(strDevice)));
        ASSERT_TRUE(m_sim.Unplug(strDevice)) << m_sim.LastReply();
    }
}

// An abort that nobody asked for is a failed attempt like any other: the
// write spends its retries on a device still there, ends at once when it
// is no longer listed or the error can only mean it left.
TEST_F(FirmwareTransferTest, AbortNobodyAskedForEndsInTheBoxThatFitsTheDevice)
{
    g_dwWriteRetryDelayMs = 1;
    static const struct
    {
        const char* m_pszDevice;
        DWORD m_dwError;
        DWORD m_dwUnplugAfterMs;  // 0: left plugged in
        const wchar_t* m_pszText;
        bool m_bAllAttempts;
    } kRows[] = {
        {"still-there", ERROR_OPERATION_ABORTED, 0, TRANSFER_FAILED_TEXT, true},
        {"pulled-out", ERROR_OPERATION_ABORTED, 300, DEVICE_UNPLUGGED_TEXT, false},
        {"removed", ERROR_DEVICE_REMOVED, 0, DEVICE_UNPLUGGED_TEXT, false},
        {"no-such-device", ERROR_NO_SUCH_DEVICE, 0, DEVICE_UNPLUGGED_TEXT, false},
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.m_pszDevice);
        ASSERT_NO_FATAL_FAILURE(PlugExclusive(row.m_pszDevice));
        SetImage(MakeImage(65536));
        RefuseWrites(3, LONG_MAX - 3, row.m_dwError);
        DWORD dwUnpluggedAt = 0;
        const CTransferRun run = RunUnplugging(row.m_pszDevice, row.m_dwUnplugAfterMs, dwUnpluggedAt);
        ASSERT_NO_FATAL_FAILURE(ExpectFailure(run, row.m_pszText));
        const LONG nAttempts = g_nWriteCalls - 3;
        if (row.m_bAllAttempts)
            EXPECT_EQ(static_cast<LONG>(WRITE_RETRY_LIMIT), nAttempts);
        else
            EXPECT_LT(nAttempts, static_cast<LONG>(WRITE_RETRY_LIMIT)) << "went on writing to a device that left";
        if (row.m_dwUnplugAfterMs == 0)
        {
            ASSERT_TRUE(m_sim.Unplug(row.m_pszDevice)) << m_sim.LastReply();
        }
    }
}

// A driver that keeps a write it was asked to cancel: the user hears of the
// stalled device once the wait after the cancel is over, and the image the
// write may still read is never freed.
TEST_F(FirmwareTransferTest, WriteWhoseCancelNeverEndsEndsInTheStalledBoxAfterABoundedWait)
{
    g_dwWriteTimeoutMs = 500;
    g_dwCancelWaitMs = 700;
    g_pfnCancelIoEx = IgnoredCancelIoEx;
    ASSERT_TRUE(m_sim.Plug("dev") && m_sim.Stall("dev")) << m_sim.LastReply();
    SetImage(MakeImage(1048576));
    const CTransferRun run = RunTransfer(nullptr, std::string(), 30000);
    ASSERT_NO_FATAL_FAILURE(ExpectFailure(run, DEVICE_STALLED_TEXT));
    EXPECT_GE(run.m_arrBoxes[0].m_dwShownAfterMs, 1200u);
    EXPECT_LT(run.m_arrBoxes[0].m_dwShownAfterMs, 1200u + 5000u);
    ASSERT_TRUE(m_sim.Resume("dev")) << m_sim.LastReply();
}

// Yes to the question stops the write whenever it comes: at the begin
// report (while the pipe opens) or between two writes. Nothing more reaches
// the device, and the worker ends without a word, as the program is ending.
TEST_F(FirmwareTransferTest, StopBetweenTwoWritesWritesNothingMore)
{
    static const struct
    {
        const char* m_pszDevice;
        int m_nStopAt;
        unsigned long long m_nBytes;
    } kRows[] = {
        {"at-begin", 0, 0},
        {"at-40", 40, 20 + 2048},
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.m_pszDevice);
        g_lTransferStopped = FALSE;
        ASSERT_TRUE(m_sim.Plug(row.m_pszDevice)) << m_sim.LastReply();
        SetImage(MakeImage(5120));
        const CTransferRun run = RunTransfer(&m_sim, row.m_pszDevice, 30000, {40}, row.m_nStopAt);
        ASSERT_TRUE(run.m_bFinished) << run.Describe();
        EXPECT_EQ(-1, run.Completion()) << run.Describe();
        EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
        ::Sleep(200);
        EXPECT_EQ(row.m_nBytes, m_sim.RecordedBytes(row.m_pszDevice).size());
        ASSERT_TRUE(m_sim.Unplug(row.m_pszDevice)) << m_sim.LastReply();
    }
}

// The stop marks and cancels without waiting for a write that is inside its
// call; the write that was there is the last one.
TEST_F(FirmwareTransferTest, StopDuringAWriteCallReturnsAtOnceAndNothingMoreIsWritten)
{
    g_nWriteCalls = 0;
    g_bStopReturned = FALSE;
    g_bStopReturnedInCall = false;
    g_pfnWriteFile = StoppedWriteFile;
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    SetImage(MakeImage(16384));
    const CTransferRun run = RunTransfer(nullptr, std::string(), 30000);
    ASSERT_TRUE(run.m_bFinished) << run.Describe();
    EXPECT_TRUE(g_bStopReturnedInCall) << "the stop waited for the write";
    EXPECT_EQ(-1, run.Completion()) << run.Describe();
    EXPECT_TRUE(run.m_arrBoxes.empty()) << run.Describe();
    EXPECT_EQ(3, g_nWriteCalls);
    // The worker has ended: whatever it wrote is in the pipe.
    const size_t nWritten = 20 + 2 * 2048;
    WaitFor([&] { return m_sim.RecordedBytes("dev").size() >= nWritten; }, 5000, 20);
    EXPECT_EQ(nWritten, m_sim.RecordedBytes("dev").size());
}

// An exception inside the write ends the transfer as a failed write: the
// user is told, the image freed and the window told it has ended.
TEST_F(FirmwareTransferTest, OutOfMemoryDuringTheWriteEndsInTheFailureBox)
{
    g_nWriteCalls = 0;
    g_pfnWriteFile = ThrowingWriteFile;
    ASSERT_TRUE(m_sim.Plug("dev")) << m_sim.LastReply();
    SetImage(MakeImage(16384));
    const CTransferRun run = Run();
    ASSERT_NO_FATAL_FAILURE(ExpectFailure(run, TRANSFER_FAILED_TEXT));
    EXPECT_EQ(20u, m_sim.RecordedBytes("dev").size());
}
