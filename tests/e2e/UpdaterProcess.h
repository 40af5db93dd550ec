// The shipped updater started as a child process, unmodified, with this
// program's environment (device stand-in folder, proxy, DLL override).
#pragma once
#include <windows.h>

class CUpdaterProcess
{
public:
    CUpdaterProcess();
    // Ends a program that is still running, so that no test leaves one behind.
    ~CUpdaterProcess();
    CUpdaterProcess(const CUpdaterProcess&) = delete;
    CUpdaterProcess& operator=(const CUpdaterProcess&) = delete;

    // Starts OrvekUpdater.exe from this program's folder; false with
    // GetLastError's code in LastError() when it cannot be started.
    bool Start();
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
};
