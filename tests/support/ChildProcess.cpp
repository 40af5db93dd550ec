#include "support/ChildProcess.h"
#include "support/WineQuirks.h"

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    const DWORD dwLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, dwLength);
    return strPath.substr(0, strPath.find_last_of('\\') + 1);
}

std::wstring PathNextToThisProgram(LPCWSTR pszFileName)
{
    wchar_t szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.find_last_of(L"\\/") + 1) + pszFileName;
}

std::wstring Widen(const std::string& str)
{
    if (str.empty())
        return std::wstring();
    const int nLength = ::MultiByteToWideChar(CP_ACP, 0, str.data(), static_cast<int>(str.size()), nullptr, 0);
    std::wstring strWide(static_cast<size_t>(nLength), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, str.data(), static_cast<int>(str.size()), &strWide[0], nLength);
    return strWide;
}

CChildProcess::~CChildProcess()
{
    End();
}

bool CChildProcess::Start(const std::wstring& strProgram, const std::wstring& strArguments, EChildOutput output,
                          const std::wstring& strFolder, DWORD dwCreationFlags)
{
    End();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    HANDLE hWriteEnd = nullptr;
    if (output == CHILD_OUTPUT_CAPTURED)
    {
        SECURITY_ATTRIBUTES sa = { sizeof(sa), nullptr, TRUE };
        if (!::CreatePipe(&m_hOutput, &hWriteEnd, &sa, 0))
        {
            m_dwLastError = ::GetLastError();
            return false;
        }
        ::SetHandleInformation(m_hOutput, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = hWriteEnd;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    else if (output == CHILD_OUTPUT_NONE)
        startup.dwFlags = STARTF_USESTDHANDLES;
    std::wstring strCommandLine = L"\"" + strProgram + L"\"";
    if (!strArguments.empty())
        strCommandLine += L" " + strArguments;
    m_dwLastError = StartRetried([&] {
        return ::CreateProcessW(nullptr, &strCommandLine[0], nullptr, nullptr, output == CHILD_OUTPUT_CAPTURED,
                                dwCreationFlags, nullptr, strFolder.empty() ? nullptr : strFolder.c_str(), &startup,
                                &m_info)
                   ? ERROR_SUCCESS
                   : ::GetLastError();
    });
    const bool bStarted = m_dwLastError == ERROR_SUCCESS;
    if (hWriteEnd != nullptr)
        ::CloseHandle(hWriteEnd);
    if (!bStarted)
        m_info = PROCESS_INFORMATION();
    return bStarted;
}

void CChildProcess::End(DWORD dwGraceMs)
{
    if (m_info.hProcess != nullptr)
    {
        if (::WaitForSingleObject(m_info.hProcess, dwGraceMs) == WAIT_TIMEOUT)
        {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
        m_info = PROCESS_INFORMATION();
    }
    if (m_hOutput != nullptr)
    {
        ::CloseHandle(m_hOutput);
        m_hOutput = nullptr;
    }
}

bool CChildProcess::HasEnded() const
{
    return m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
}

bool CChildProcess::WaitForExit(DWORD dwTimeoutMs) const
{
    return m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, dwTimeoutMs) == WAIT_OBJECT_0;
}

bool CChildProcess::WaitForExit(DWORD dwTimeoutMs, DWORD& dwExitCode) const
{
    if (m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, dwTimeoutMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_info.hProcess, &dwExitCode) != FALSE;
}

std::string CChildProcess::ReadAllOutput()
{
    std::string strOutput;
    char buffer[512];
    DWORD dwRead = 0;
    while (m_hOutput != nullptr && ::ReadFile(m_hOutput, buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        strOutput.append(buffer, dwRead);
    return strOutput;
}
