// The simulator's state: the listed interfaces in enumeration order, the
// devices behind them, the file that tells the stand-in setupapi.dll what
// is present, and the control commands that change all of it.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "PipeListener.h"
#include "SimulatedDevice.h"
#include "SimulatorLog.h"

class CSimulator
{
public:
    CSimulator(const std::string& strDir, CSimulatorLog& log);
    ~CSimulator();
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    // Lists nothing, then serves the control pipe.
    bool Start(std::string& strError);
    // Unplugs everything and lists nothing.
    void Shutdown();

    // Runs one command line; the reply starts with "ok" or "error".
    std::string Execute(const std::string& strLine);
    // Signalled by the "quit" command.
    HANDLE QuitEvent() const { return m_hQuit; }

private:
    enum class EEntryKind { Device, Phantom, NoDetail, EnumError };
    struct SEntry
    {
        std::string m_strName;
        EEntryKind m_eKind;
        std::string m_strPath;
        DWORD m_dwError;
        std::shared_ptr<CSimulatedDevice> m_pDevice;
    };

    struct SControlSession
    {
        CSimulator* m_pSimulator;
        HANDLE m_hPipe;
    };

    static DWORD WINAPI ControlThread(LPVOID pParam);
    void RunControlSession(HANDLE hPipe);
    std::string Run(const std::vector<std::string>& arrWords);
    std::string AddEntry(const std::vector<std::string>& arrWords, EEntryKind eKind);
    bool WriteDevicesFile(std::string& strError);
    SEntry* FindEntry(const std::string& strName);
    std::shared_ptr<CSimulatedDevice> FindDevice(const std::string& strName);
    bool MakePath(const std::string& strName, const std::vector<std::string>& arrOptions, std::string& strPath,
                  std::string& strError);

    std::string m_strDir;
    CSimulatorLog& m_log;
    CRITICAL_SECTION m_lock;
    HANDLE m_hQuit;
    CPipeListener m_controlListener;
    std::vector<SEntry> m_arrEntries;
};
