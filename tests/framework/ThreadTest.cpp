// AfxBeginThread: the worker gets its argument and priority, and its thread
// object deletes itself, closing its handle, when the function returns.
#include "framework/afxwin.h"
#include <gtest/gtest.h>

namespace
{
struct WorkerRecord
{
    LPVOID pParam = nullptr;
    int nPriority = THREAD_PRIORITY_ERROR_RETURN;
    DWORD nThreadId = 0;
};

WorkerRecord g_record;

UINT AFX_CDECL RecordingProc(LPVOID pParam)
{
    g_record.pParam = pParam;
    g_record.nPriority = ::GetThreadPriority(::GetCurrentThread());
    g_record.nThreadId = ::GetCurrentThreadId();
    return 0x77;
}

// The thread's object is gone once its handle, stored in it, is closed.
bool HandleIsClosed(HANDLE hHandle)
{
    DWORD dwFlags = 0;
    return !::GetHandleInformation(hHandle, &dwFlags) && ::GetLastError() == ERROR_INVALID_HANDLE;
}
}

TEST(AfxBeginThread, WorkerRunsWithItsArgumentAndTheObjectDeletesItself)
{
    const struct
    {
        int nPriority;
        const char* pszName;
    } cases[] = {
        { THREAD_PRIORITY_NORMAL, "normal" },
        { THREAD_PRIORITY_BELOW_NORMAL, "below normal" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        g_record = WorkerRecord();
        int nArgument = 0;
        CWinThread* pThread = AfxBeginThread(&RecordingProc, &nArgument, c.nPriority, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, pThread);
        EXPECT_TRUE(pThread->m_bAutoDelete);
        const HANDLE hObjectsHandle = pThread->m_hThread;
        const DWORD nThreadId = pThread->m_nThreadID;
        HANDLE hOwnHandle = nullptr;
        ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), hObjectsHandle, ::GetCurrentProcess(),
                                      &hOwnHandle, 0, FALSE, DUPLICATE_SAME_ACCESS));
        EXPECT_EQ(1u, pThread->ResumeThread());

        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hOwnHandle, 5000));
        DWORD dwExitCode = 0;
        EXPECT_TRUE(::GetExitCodeThread(hOwnHandle, &dwExitCode));
        EXPECT_EQ(0x77u, dwExitCode);
        EXPECT_EQ(&nArgument, g_record.pParam);
        EXPECT_EQ(c.nPriority, g_record.nPriority);
        EXPECT_EQ(nThreadId, g_record.nThreadId);
        EXPECT_TRUE(HandleIsClosed(hObjectsHandle));
        ::CloseHandle(hOwnHandle);
    }
}

TEST(AfxBeginThread, WorkerStartedWithTheDefaultsRunsAtOnce)
{
    const HANDLE hStarted = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, hStarted);
    EXPECT_NE(nullptr, AfxBeginThread(
                           [](LPVOID pParam) -> UINT {
                               ::SetEvent(static_cast<HANDLE>(pParam));
                               return 0;
                           },
                           hStarted));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hStarted, 5000));
    ::CloseHandle(hStarted);
}
