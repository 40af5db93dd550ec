// The updater as a child process.
#include "e2e/UpdaterProcess.h"
#include "e2e/UpdaterWindow.h"

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    const DWORD dwLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, dwLength);
    return strPath.substr(0, strPath.find_last_of('\\') + 1);
}

namespace
{
struct SWindowSearch
{
    DWORD m_dwProcessId;
    bool (*m_pfnMatch)(HWND);
    HWND m_hFound;
};

BOOL CALLBACK MatchWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<SWindowSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != pSearch->m_dwProcessId || !pSearch->m_pfnMatch(hWnd))
        return TRUE;
    pSearch->m_hFound = hWnd;
    return FALSE;
}

HWND FindWindowOfProcess(DWORD dwProcessId, bool (*pfnMatch)(HWND))
{
    SWindowSearch search = { dwProcessId, pfnMatch, nullptr };
    ::EnumWindows(MatchWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}
}

CUpdaterProcess::CUpdaterProcess() : m_info(), m_dwLastError(ERROR_SUCCESS)
{
}

CUpdaterProcess::~CUpdaterProcess()
{
    if (m_info.hProcess == nullptr)
        return;
    if (!HasEnded())
    {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool CUpdaterProcess::Start()
{
    const std::string strFolder = m_strFolder.empty() ? ProgramFolder() : m_strFolder;
    std::string strCommandLine = "\"" + strFolder + m_strExeName + "\"";
    // No handles of ours go to the program, so that it never holds the
    // output of a test run open.
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (::CreateProcessA(nullptr, &strCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                         m_strFolder.empty() ? nullptr : m_strFolder.c_str(), &startup, &m_info))
        return true;
    m_dwLastError = ::GetLastError();
    m_info = PROCESS_INFORMATION();
    return false;
}

bool CUpdaterProcess::HasEnded() const
{
    return m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
}

bool CUpdaterProcess::WaitForExit(DWORD dwTimeoutMs) const
{
    return m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, dwTimeoutMs) == WAIT_OBJECT_0;
}

HWND CUpdaterProcess::FindMainWindow() const
{
    return FindWindowOfProcess(m_info.dwProcessId, CUpdaterWindow::IsUpdaterWindow);
}

HWND CUpdaterProcess::FindVisibleWindow() const
{
    return FindWindowOfProcess(m_info.dwProcessId, [](HWND hWnd) { return ::IsWindowVisible(hWnd) != FALSE; });
}
