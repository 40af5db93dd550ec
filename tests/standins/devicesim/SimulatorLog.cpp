// The simulator's log file.
#include "SimulatorLog.h"
#include <cstdio>

CSimulatorLog::CSimulatorLog()
    : m_hFile(INVALID_HANDLE_VALUE), m_dwStartTicks(::GetTickCount())
{
    ::InitializeCriticalSection(&m_lock);
}

CSimulatorLog::~CSimulatorLog()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
    ::DeleteCriticalSection(&m_lock);
}

bool CSimulatorLog::Open(const std::string& strPath)
{
    m_hFile = ::CreateFileA(strPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CSimulatorLog::Write(const std::string& strLine)
{
    char szTime[32];
    snprintf(szTime, sizeof(szTime), "%8.3f ", (::GetTickCount() - m_dwStartTicks) / 1000.0);
    const std::string strText = szTime + strLine + "\r\n";
    ::EnterCriticalSection(&m_lock);
    DWORD dwWritten = 0;
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::WriteFile(m_hFile, strText.data(), static_cast<DWORD>(strText.size()), &dwWritten, nullptr);
    ::LeaveCriticalSection(&m_lock);
}
