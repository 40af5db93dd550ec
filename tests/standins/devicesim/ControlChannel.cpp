// The client end of the simulator's control pipe.
#include "ControlChannel.h"

CControlChannel::~CControlChannel()
{
    Close();
}

bool CControlChannel::Connect(const std::string& strPipeName, DWORD dwTimeoutMs)
{
    Close();
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        m_hPipe = ::CreateFileA(strPipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
        if (m_hPipe != INVALID_HANDLE_VALUE)
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        if (::GetLastError() == ERROR_PIPE_BUSY)
            ::WaitNamedPipeA(strPipeName.c_str(), 100);
        else
            ::Sleep(20);
    }
}

bool CControlChannel::Transact(const std::string& strCommand, std::string& strReply)
{
    if (m_hPipe == INVALID_HANDLE_VALUE)
        return false;
    const std::string strLine = strCommand + "\n";
    DWORD dwWritten = 0;
    if (!::WriteFile(m_hPipe, strLine.data(), static_cast<DWORD>(strLine.size()), &dwWritten, nullptr)
        || dwWritten != strLine.size())
        return false;
    for (;;)
    {
        const size_t nNewline = m_strPending.find('\n');
        if (nNewline != std::string::npos)
        {
            strReply = m_strPending.substr(0, nNewline);
            m_strPending.erase(0, nNewline + 1);
            return true;
        }
        char buffer[4096];
        DWORD dwRead = 0;
        if (!::ReadFile(m_hPipe, buffer, sizeof(buffer), &dwRead, nullptr) || dwRead == 0)
            return false;
        m_strPending.append(buffer, dwRead);
    }
}

void CControlChannel::Close()
{
    if (m_hPipe != INVALID_HANDLE_VALUE)
    {
        ::CloseHandle(m_hPipe);
        m_hPipe = INVALID_HANDLE_VALUE;
    }
    m_strPending.clear();
}
