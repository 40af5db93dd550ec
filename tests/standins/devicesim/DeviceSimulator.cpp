// The device simulator: plays devices in download mode and their driver for
// the updater's tests and demo, and sends it commands from scripts.
//
//   DeviceSimulator.exe --dir DIR [--parent PID] [--plug NAME]...   serve until "quit"
//   DeviceSimulator.exe --dir DIR --send COMMAND WORDS...           one command; prints the reply
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "ControlChannel.h"
#include "Simulator.h"
#include "SimulatorLog.h"
#include "StateDir.h"

namespace
{
constexpr DWORD kConnectTimeoutMs = 10000;

int Usage()
{
    fprintf(stderr,
            "usage: DeviceSimulator --dir DIR [--parent PID] [--plug NAME]...\n"
            "       DeviceSimulator --dir DIR --send COMMAND [WORDS...]\n");
    return 2;
}

int Send(const std::string& strDir, const std::string& strCommand)
{
    CControlChannel channel;
    if (!channel.Connect(ControlPipeName(strDir), kConnectTimeoutMs))
    {
        fprintf(stderr, "DeviceSimulator: no simulator answers at %s (error %lu)\n", ControlPipeName(strDir).c_str(),
                ::GetLastError());
        return 1;
    }
    std::string strReply;
    if (!channel.Transact(strCommand, strReply))
    {
        fprintf(stderr, "DeviceSimulator: the simulator did not answer \"%s\"\n", strCommand.c_str());
        return 1;
    }
    printf("%s\n", strReply.c_str());
    return strReply.compare(0, 2, "ok") == 0 ? 0 : 1;
}

bool WriteReadyFile(const std::string& strDir)
{
    char szContent[64];
    snprintf(szContent, sizeof(szContent), "pid %lu\r\n", ::GetCurrentProcessId());
    const std::string strText = std::string(szContent) + "control " + ControlPipeName(strDir) + "\r\n";
    HANDLE hFile = ::CreateFileA(StateFile(strDir, DEVSIM_READY_FILE).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    const bool bOk = ::WriteFile(hFile, strText.data(), static_cast<DWORD>(strText.size()), &dwWritten, nullptr)
                     && dwWritten == strText.size();
    ::CloseHandle(hFile);
    return bOk;
}

int Serve(const std::string& strDir, DWORD dwParentPid, const std::vector<std::string>& arrPlugs)
{
    if (!::CreateDirectoryA(strDir.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
    {
        fprintf(stderr, "DeviceSimulator: cannot create %s (error %lu)\n", strDir.c_str(), ::GetLastError());
        return 1;
    }
    CSimulatorLog log;
    if (!log.Open(StateFile(strDir, DEVSIM_LOG_FILE)))
    {
        fprintf(stderr, "DeviceSimulator: cannot write in %s (error %lu)\n", strDir.c_str(), ::GetLastError());
        return 1;
    }
    ::DeleteFileA(StateFile(strDir, DEVSIM_SETUPAPI_LOG).c_str());

    HANDLE hParent = nullptr;
    if (dwParentPid != 0)
    {
        hParent = ::OpenProcess(SYNCHRONIZE, FALSE, dwParentPid);
        if (hParent == nullptr)
        {
            fprintf(stderr, "DeviceSimulator: no process %lu to serve\n", dwParentPid);
            return 1;
        }
    }

    CSimulator simulator(strDir, log);
    std::string strError;
    if (!simulator.Start(strError))
    {
        fprintf(stderr, "DeviceSimulator: %s\n", strError.c_str());
        return 1;
    }
    for (const std::string& strName : arrPlugs)
    {
        const std::string strReply = simulator.Execute("plug " + strName);
        if (strReply.compare(0, 2, "ok") != 0)
        {
            fprintf(stderr, "DeviceSimulator: plug %s: %s\n", strName.c_str(), strReply.c_str());
            return 1;
        }
    }
    if (!WriteReadyFile(strDir))
    {
        fprintf(stderr, "DeviceSimulator: cannot write %s\n", StateFile(strDir, DEVSIM_READY_FILE).c_str());
        return 1;
    }
    log.Write("serving " + strDir);

    // The simulator ends with the program that started it, so that a test
    // that crashes leaves no simulator behind.
    HANDLE arrWait[2] = { simulator.QuitEvent(), hParent };
    ::WaitForMultipleObjects(hParent != nullptr ? 2 : 1, arrWait, FALSE, INFINITE);
    log.Write(::WaitForSingleObject(simulator.QuitEvent(), 0) == WAIT_OBJECT_0 ? "quit" : "the parent process ended");
    simulator.Shutdown();
    ::DeleteFileA(StateFile(strDir, DEVSIM_READY_FILE).c_str());
    if (hParent != nullptr)
        ::CloseHandle(hParent);
    return 0;
}
}

int main(int argc, char** argv)
{
    std::string strDir;
    DWORD dwParentPid = 0;
    std::vector<std::string> arrPlugs;
    std::string strCommand;
    bool bSend = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (bSend)
            strCommand += (strCommand.empty() ? "" : " ") + strArg;
        else if (strArg == "--send")
            bSend = true;
        else if (strArg == "--dir" && i + 1 < argc)
            strDir = NormalizeStateDir(argv[++i]);
        else if (strArg == "--parent" && i + 1 < argc)
            dwParentPid = strtoul(argv[++i], nullptr, 10);
        else if (strArg == "--plug" && i + 1 < argc)
            arrPlugs.push_back(argv[++i]);
        else
            return Usage();
    }
    if (strDir.empty() || (bSend && strCommand.empty()))
        return Usage();
    return bSend ? Send(strDir, strCommand) : Serve(strDir, dwParentPid, arrPlugs);
}
