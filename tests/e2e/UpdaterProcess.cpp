// The updater as a child process.
#include "e2e/UpdaterProcess.h"
#include "common/WindowSearch.h"
#include "e2e/UpdaterWindow.h"

namespace
{
bool IsVisible(HWND hWnd)
{
    return ::IsWindowVisible(hWnd) != FALSE;
}

HWND FindWindowOfProcess(DWORD dwProcessId, bool (*pfnMatch)(HWND))
{
    if (dwProcessId == 0)
        return nullptr;
    CWindowSearch search;
    search.m_pszClass = nullptr;
    search.m_dwProcessId = dwProcessId;
    search.m_pfnMatch = pfnMatch;
    return FindTopWindow(search);
}
}

bool CUpdaterProcess::Start()
{
    const std::string strFolder = m_strFolder.empty() ? ProgramFolder() : m_strFolder;
    // No handles of ours go to the program, so that it never holds the
    // output of a test run open.
    return m_child.Start(Widen(strFolder + m_strExeName), L"", CHILD_OUTPUT_DEFAULT, Widen(m_strFolder));
}

HWND CUpdaterProcess::FindMainWindow() const
{
    return FindWindowOfProcess(m_child.ProcessId(), CUpdaterWindow::IsUpdaterWindow);
}

HWND CUpdaterProcess::FindVisibleWindow() const
{
    return FindWindowOfProcess(m_child.ProcessId(), IsVisible);
}
