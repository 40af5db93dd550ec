// The simulator's log file in the state folder: one timestamped line per event.
#pragma once
#include <windows.h>
#include <string>

class CSimulatorLog
{
public:
    CSimulatorLog();
    ~CSimulatorLog();
    CSimulatorLog(const CSimulatorLog&) = delete;
    CSimulatorLog& operator=(const CSimulatorLog&) = delete;

    bool Open(const std::string& strPath);
    void Write(const std::string& strLine);

private:
    CRITICAL_SECTION m_lock;
    HANDLE m_hFile;
    DWORD m_dwStartTicks;
};
