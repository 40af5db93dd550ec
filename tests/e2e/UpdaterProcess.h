// The shipped updater started as a child process, unmodified, with this
// program's environment (device stand-in folder, proxy, DLL override).
#pragma once
#include <windows.h>
#include <string>

// This program's folder, ending in a backslash: where the build puts the exe.
std::string ProgramFolder();

class CUpdaterProcess
{
public:
    CUpdaterProcess();
    // Ends a program that is still running, so that no test leaves one behind.
    ~CUpdaterProcess();
    CUpdaterProcess(const CUpdaterProcess&) = delete;
    CUpdaterProcess& operator=(const CUpdaterProcess&) = delete;

    // Starts OrvekUpdater.exe from this program's folder, or from the one
    // given to UseFolder; false with GetLastError's code in LastError()
    // when it cannot be started.
    bool Start();
    // Later starts run the copy strExeName in strFolder (ending in a
    // backslash), with that folder as the current one, as a user's double
    // click would.
    void UseFolder(const std::string& strFolder, const std::string& strExeName)
    {
        m_strFolder = strFolder;
        m_strExeName = strExeName;
    }
    DWORD LastError() const { return m_dwLastError; }
    DWORD Id() const { return m_info.dwProcessId; }

    bool HasEnded() const;
    // True once the process has ended, within dwTimeoutMs.
    bool WaitForExit(DWORD dwTimeoutMs) const;
    // The updater window of this process: a dialog with the status line;
    // null while there is none.
    HWND FindMainWindow() const;
    // Any visible top-level window of this process, message boxes included.
    HWND FindVisibleWindow() const;

private:
    PROCESS_INFORMATION m_info;
    DWORD m_dwLastError;
    std::string m_strFolder;
    std::string m_strExeName = "OrvekUpdater.exe";
};
