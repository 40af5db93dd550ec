// A program of the build started as a child process. One still running
// when its object goes is ended, so that a failed test leaves nothing behind.
#pragma once
#include <windows.h>
#include <string>

// This program's folder, ending in a backslash: where the build puts the
// programs it starts.
std::string ProgramFolder();
// The full path of a file next to this program.
std::wstring PathNextToThisProgram(LPCWSTR pszFileName);
// A string of the ANSI code page, as the narrow calls take paths.
std::wstring Widen(const std::string& str);

enum EChildOutput
{
    // The child inherits no handles of ours.
    CHILD_OUTPUT_DEFAULT,
    // Its standard output goes to a pipe, for ReadAllOutput.
    CHILD_OUTPUT_CAPTURED,
    // It gets no standard handles at all, not even the console's.
    CHILD_OUTPUT_NONE,
};

class CChildProcess
{
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts strProgram with strArguments, in strFolder when one is given;
    // false with GetLastError's code in LastError() when it cannot start.
    bool Start(const std::wstring& strProgram, const std::wstring& strArguments = L"",
               EChildOutput output = CHILD_OUTPUT_DEFAULT, const std::wstring& strFolder = L"",
               DWORD dwCreationFlags = 0);
    // Waits up to dwGraceMs for the end, ends the process if it still runs,
    // and lets go of it.
    void End(DWORD dwGraceMs = 0);

    bool IsStarted() const { return m_info.hProcess != nullptr; }
    bool HasEnded() const;
    // True once the process has ended, within dwTimeoutMs.
    bool WaitForExit(DWORD dwTimeoutMs) const;
    // The same, with the exit code.
    bool WaitForExit(DWORD dwTimeoutMs, DWORD& dwExitCode) const;
    // All the standard output, read to its end (CHILD_OUTPUT_CAPTURED).
    std::string ReadAllOutput();

    DWORD LastError() const { return m_dwLastError; }
    DWORD ProcessId() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info = {};
    HANDLE m_hOutput = nullptr;
    DWORD m_dwLastError = ERROR_SUCCESS;
};
