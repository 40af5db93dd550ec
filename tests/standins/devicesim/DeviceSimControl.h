// Test programs' control of the device stand-in: starts a simulator of
// their own in a fresh state folder, points the stand-in setupapi.dll of
// this process at it, and drives it.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ControlChannel.h"
#include "support/ChildProcess.h"
#include "DeviceCounters.h"

// A device's counters and its interface path, as the simulator reports them.
struct CDeviceStats : CDeviceCounters
{
    std::string m_strPath;
};

class CDeviceSimulator
{
public:
    CDeviceSimulator() = default;
    ~CDeviceSimulator();
    CDeviceSimulator(const CDeviceSimulator&) = delete;
    CDeviceSimulator& operator=(const CDeviceSimulator&) = delete;

    // Starts bin\DeviceSimulator.exe (next to this program) in a fresh
    // folder and sets ORVEK_DEVSIM_DIR of this process to it.
    bool Start();
    // Ends the simulator and removes its folder (kept when ORVEK_DEVSIM_KEEP
    // is set); the stand-in DLL lists nothing afterwards.
    void Stop();
    const std::string& StateDir() const { return m_strDir; }

    // Sends one command line; returns the reply ("ok ..." / "error ...").
    std::string Command(const std::string& strLine);
    // The reply to the last command, for failure messages.
    const std::string& LastReply() const { return m_strLastReply; }

    // A device that is present and serves its interface and PIPE00. Its
    // path is "\\.\pipe\orvek-<8 hex digits>-<name>", padded with 'x' to
    // nPathLength characters when that is not 0.
    bool Plug(const std::string& strName, std::string* pstrPath = nullptr, size_t nPathLength = 0);
    // Takes any listed entry away; a plugged device's open pipes break.
    bool Unplug(const std::string& strName);
    // A listed interface that nothing serves: its path does not open.
    bool AddPhantom(const std::string& strName, size_t nPathLength = 0, std::string* pstrPath = nullptr);
    // A listed interface whose detail record cannot be fetched.
    bool AddNoDetail(const std::string& strName);
    // An enumeration index that fails with dwError.
    bool AddEnumError(const std::string& strName, DWORD dwError = ERROR_GEN_FAILURE);

    bool RefuseInterface(const std::string& strName);
    bool AcceptInterface(const std::string& strName);
    bool RefusePipe(const std::string& strName);
    bool AcceptPipe(const std::string& strName);
    // Every later PIPE00 connection breaks once it has received nBytes.
    bool BreakAfter(const std::string& strName, unsigned long long nBytes);
    bool NoBreak(const std::string& strName);
    // While PIPE00 is open, the interface opens for nobody (or again for anyone).
    bool Exclusive(const std::string& strName, bool bExclusive = true);
    // PIPE00 stops / resumes reading.
    bool Stall(const std::string& strName);
    bool Resume(const std::string& strName);

    bool GetStats(const std::string& strName, CDeviceStats& stats);
    // Waits until the simulator has seen every connection to the device closed.
    bool WaitIdle(const std::string& strName, DWORD dwTimeoutMs = 5000);
    // Every byte written into the device's PIPE00 since it was plugged.
    std::vector<unsigned char> RecordedBytes(const std::string& strName);

    // Device information sets that the stand-in DLL made / released, in any
    // process pointed at this folder.
    unsigned long EnumerationCount() { return CountLogLines("classdevs "); }
    unsigned long ReleasedSetCount() { return CountLogLines("destroy "); }
    // The stand-in DLL's log lines ("classdevs pid=.. set=.. flags=0x12 class=dlmode enumerator=none parent=none", "destroy pid=.. set=..").
    std::vector<std::string> SetupApiLog();

private:
    bool IsOk(const std::string& strLine);
    // A listed entry; its path from the reply.
    bool AddEntry(const std::string& strCommand, std::string* pstrPath);
    unsigned long CountLogLines(const std::string& strStart);
    void RemoveStateDir();

    std::string m_strDir;
    CChildProcess m_process;
    CControlChannel m_channel;
    std::string m_strLastReply;
};
