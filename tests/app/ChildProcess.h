// Starts a program of the build's bin folder as a child process.
#pragma once
#include "framework/Platform.h"
#include <string>

// The full path of a file next to this test program.
std::wstring PathNextToThisProgram(LPCWSTR pszFileName);

class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program; with bCaptureOutput its standard output is kept.
    bool Start(const std::wstring& strPath, bool bCaptureOutput = false);
    // Waits for the end and gives the exit code, or false on time-out.
    bool WaitForExit(DWORD dwTimeoutMs, DWORD& dwExitCode);
    // All the standard output, read to its end.
    std::string ReadAllOutput();

    DWORD ProcessId() const { return m_info.dwProcessId; }
    DWORD MainThreadId() const { return m_info.dwThreadId; }

private:
    PROCESS_INFORMATION m_info = {};
    HANDLE m_hOutput = nullptr;
};
