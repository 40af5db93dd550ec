// The shipped updater started as a child process, unmodified, with this
// program's environment (device stand-in folder, proxy, DLL override).
#pragma once
#include <windows.h>
#include <string>
#include "common/ChildProcess.h"

class CUpdaterProcess
{
public:
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
    DWORD LastError() const { return m_child.LastError(); }
    DWORD Id() const { return m_child.ProcessId(); }

    bool HasEnded() const { return m_child.HasEnded(); }
    // True once the process has ended, within dwTimeoutMs.
    bool WaitForExit(DWORD dwTimeoutMs) const { return m_child.WaitForExit(dwTimeoutMs); }
    // The updater window of this process: a dialog with the status line;
    // null while there is none.
    HWND FindMainWindow() const;
    // Any visible top-level window of this process, message boxes included.
    HWND FindVisibleWindow() const;

private:
    // Ended when this object goes, so that no test leaves a program behind.
    CChildProcess m_child;
    std::string m_strFolder;
    std::string m_strExeName = "OrvekUpdater.exe";
};
