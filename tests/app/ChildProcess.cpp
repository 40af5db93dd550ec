// Child processes for the start-up tests; a child still running when its
// object goes is ended, so that a failed test leaves nothing behind.
#include "ChildProcess.h"
#include <vector>

std::wstring PathNextToThisProgram(LPCWSTR pszFileName)
{
    wchar_t szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.find_last_of(L"\\/") + 1) + pszFileName;
}

ChildProcess::~ChildProcess()
{
    if (m_info.hProcess != nullptr)
    {
        if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
        {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
    if (m_hOutput != nullptr)
        ::CloseHandle(m_hOutput);
}

bool ChildProcess::Start(const std::wstring& strPath, bool bCaptureOutput)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    HANDLE hWriteEnd = nullptr;
    if (bCaptureOutput)
    {
        SECURITY_ATTRIBUTES sa = { sizeof(sa), nullptr, TRUE };
        if (!::CreatePipe(&m_hOutput, &hWriteEnd, &sa, 0))
            return false;
        ::SetHandleInformation(m_hOutput, HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = hWriteEnd;
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    std::wstring strCommandLine = L"\"" + strPath + L"\"";
    const BOOL bStarted = ::CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, bCaptureOutput,
                                           0, nullptr, nullptr, &si, &m_info);
    if (hWriteEnd != nullptr)
        ::CloseHandle(hWriteEnd);
    return bStarted != FALSE;
}

bool ChildProcess::WaitForExit(DWORD dwTimeoutMs, DWORD& dwExitCode)
{
    if (::WaitForSingleObject(m_info.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_info.hProcess, &dwExitCode) != FALSE;
}

std::string ChildProcess::ReadAllOutput()
{
    std::string strOutput;
    char buffer[512];
    DWORD dwRead = 0;
    while (::ReadFile(m_hOutput, buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        strOutput.append(buffer, dwRead);
    return strOutput;
}
