// The client end of the simulator's control pipe: one command line out, one
// reply line back ("ok ..." or "error ...").
#pragma once
#include <windows.h>
#include <string>

class CControlChannel
{
public:
    CControlChannel() = default;
    ~CControlChannel();
    CControlChannel(const CControlChannel&) = delete;
    CControlChannel& operator=(const CControlChannel&) = delete;

    // Connects, waiting up to dwTimeoutMs for the simulator to listen.
    bool Connect(const std::string& strPipeName, DWORD dwTimeoutMs);
    // Sends strCommand and waits for its reply; false if the channel broke.
    bool Transact(const std::string& strCommand, std::string& strReply);
    void Close();

private:
    HANDLE m_hPipe = INVALID_HANDLE_VALUE;
    std::string m_strPending;
};
