// One simulated device in download mode: its interface path and its PIPE00
// as named pipes, the bytes written into PIPE00, and its misbehaviours.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "PipeListener.h"
#include "SimulatorLog.h"
#include "DeviceCounters.h"

enum class EEndpoint { Interface, Pipe };

class CSimulatedDevice
{
public:
    CSimulatedDevice(const std::string& strName, const std::string& strPath, const std::string& strRecordFile,
                     CSimulatorLog& log);
    ~CSimulatedDevice();
    CSimulatedDevice(const CSimulatedDevice&) = delete;
    CSimulatedDevice& operator=(const CSimulatedDevice&) = delete;

    const std::string& Name() const { return m_strName; }
    const std::string& Path() const { return m_strPath; }

    // Starts serving both pipes and empties the record file; false with the error text if not.
    bool Plug(std::string& strError);
    // Stops serving and ends every open connection; writes into them fail from then on.
    void Unplug();

    // Serves (true) or refuses (false) opens of one pipe; connections already open stay.
    bool SetAccepting(EEndpoint endpoint, bool bAccept, std::string& strError);
    // Each PIPE00 connection is broken once it has received nBytes; -1 turns this off.
    void SetBreakAfter(long long nBytes);
    // While stalled, PIPE00 connections read nothing more, so the writer's buffer fills.
    void SetStalled(bool bStalled);
    // While exclusive, the interface opens for nobody as long as a PIPE00
    // connection is open, as drivers that allow one open at a time do.
    bool SetExclusive(bool bExclusive, std::string& strError);

    CDeviceCounters Counters();
    // True once no connection is open, within dwTimeoutMs.
    bool WaitIdle(DWORD dwTimeoutMs);

private:
    struct SSession
    {
        CSimulatedDevice* m_pDevice;
        EEndpoint m_endpoint;
        HANDLE m_hPipe;
    };

    bool HasReachablePipe() const;
    // Serves the interface when it is wanted and exclusivity allows.
    bool UpdateInterface(std::string& strError);
    static DWORD WINAPI SessionThread(LPVOID pParam);
    void CountPipe(int nChange);
    void OnConnected(EEndpoint endpoint, HANDLE hPipe);
    void RunSession(EEndpoint endpoint, HANDLE hPipe);
    bool ReadSome(HANDLE hPipe, HANDLE hEvent, char* pBuffer, DWORD dwMax, DWORD& dwRead);
    void Record(EEndpoint endpoint, const char* pBytes, DWORD dwCount);
    void PruneSessions();

    std::string m_strName;
    std::string m_strPath;
    std::string m_strRecordFile;
    CSimulatorLog& m_log;
    CRITICAL_SECTION m_lock;
    HANDLE m_hStop;
    HANDLE m_hRunning;
    HANDLE m_hRecord;
    CPipeListener m_interfaceListener;
    CPipeListener m_pipeListener;
    std::vector<HANDLE> m_arrSessionThreads;
    unsigned long m_nOpenSessions;
    // Guards the interface listener's state; never taken by its thread.
    CRITICAL_SECTION m_interfaceLock;
    bool m_bInterfaceWanted;
    bool m_bExclusive;
    unsigned long m_nOpenPipes;
    long long m_nBreakAfter;
    CDeviceCounters m_counters;
};
