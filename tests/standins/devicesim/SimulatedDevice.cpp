// One simulated device in download mode.
#include "SimulatedDevice.h"
#include <algorithm>

namespace
{
// Small enough that a stalled device soon holds up its writer.
constexpr DWORD kPipeInBufferSize = 8192;
constexpr DWORD kReadSize = 65536;
const std::string kPipeSuffix = "\\PIPE00";
}

CSimulatedDevice::CSimulatedDevice(const std::string& strName, const std::string& strPath,
                                   const std::string& strRecordFile, CSimulatorLog& log)
    : m_strName(strName), m_strPath(strPath), m_strRecordFile(strRecordFile), m_log(log),
      m_hStop(::CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_hRunning(::CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      m_hRecord(INVALID_HANDLE_VALUE), m_nOpenSessions(0), m_bInterfaceWanted(false), m_bExclusive(false),
      m_nOpenPipes(0), m_nBreakAfter(-1)
{
    ::InitializeCriticalSection(&m_lock);
    ::InitializeCriticalSection(&m_interfaceLock);
}

CSimulatedDevice::~CSimulatedDevice()
{
    Unplug();
    ::CloseHandle(m_hRunning);
    ::CloseHandle(m_hStop);
    ::DeleteCriticalSection(&m_interfaceLock);
    ::DeleteCriticalSection(&m_lock);
}

bool CSimulatedDevice::Plug(std::string& strError)
{
    m_hRecord = ::CreateFileA(m_strRecordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, 0, nullptr);
    if (m_hRecord == INVALID_HANDLE_VALUE)
    {
        strError = "cannot create " + m_strRecordFile + ", error " + std::to_string(::GetLastError());
        return false;
    }
    ::ResetEvent(m_hStop);
    if (!SetAccepting(EEndpoint::Interface, true, strError)
        || (HasReachablePipe() && !SetAccepting(EEndpoint::Pipe, true, strError)))
    {
        Unplug();
        return false;
    }
    return true;
}

void CSimulatedDevice::Unplug()
{
    ::EnterCriticalSection(&m_interfaceLock);
    m_bInterfaceWanted = false;
    m_interfaceListener.Stop();
    ::LeaveCriticalSection(&m_interfaceLock);
    m_pipeListener.Stop();
    ::SetEvent(m_hStop);
    ::EnterCriticalSection(&m_lock);
    std::vector<HANDLE> arrThreads;
    arrThreads.swap(m_arrSessionThreads);
    ::LeaveCriticalSection(&m_lock);
    for (HANDLE hThread : arrThreads)
    {
        ::WaitForSingleObject(hThread, INFINITE);
        ::CloseHandle(hThread);
    }
    if (m_hRecord != INVALID_HANDLE_VALUE)
    {
        ::CloseHandle(m_hRecord);
        m_hRecord = INVALID_HANDLE_VALUE;
    }
}

// Past MAX_PATH no 8-bit function opens the pipe path, and Wine serves no such pipe.
bool CSimulatedDevice::HasReachablePipe() const
{
    return m_strPath.size() + kPipeSuffix.size() < MAX_PATH;
}

bool CSimulatedDevice::SetAccepting(EEndpoint endpoint, bool bAccept, std::string& strError)
{
    if (endpoint == EEndpoint::Interface)
    {
        ::EnterCriticalSection(&m_interfaceLock);
        m_bInterfaceWanted = bAccept;
        const bool bOk = UpdateInterface(strError);
        ::LeaveCriticalSection(&m_interfaceLock);
        return bOk;
    }
    if (!bAccept)
    {
        m_pipeListener.Stop();
        return true;
    }
    const std::string strName = m_strPath + kPipeSuffix;
    if (!m_pipeListener.Start(strName, kPipeInBufferSize, [this](HANDLE hPipe) { OnConnected(EEndpoint::Pipe, hPipe); }))
    {
        strError = "cannot serve " + strName + ", error " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

bool CSimulatedDevice::SetExclusive(bool bExclusive, std::string& strError)
{
    ::EnterCriticalSection(&m_interfaceLock);
    m_bExclusive = bExclusive;
    const bool bOk = UpdateInterface(strError);
    ::LeaveCriticalSection(&m_interfaceLock);
    return bOk;
}

// With m_interfaceLock held.
bool CSimulatedDevice::UpdateInterface(std::string& strError)
{
    CPipeListener& listener = m_interfaceListener;
    if (!m_bInterfaceWanted || (m_bExclusive && m_nOpenPipes != 0))
    {
        listener.Stop();
        return true;
    }
    if (!listener.Start(m_strPath, 4096, [this](HANDLE hPipe) { OnConnected(EEndpoint::Interface, hPipe); }))
    {
        strError = "cannot serve " + m_strPath + ", error " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

void CSimulatedDevice::SetBreakAfter(long long nBytes)
{
    ::EnterCriticalSection(&m_lock);
    m_nBreakAfter = nBytes;
    ::LeaveCriticalSection(&m_lock);
}

void CSimulatedDevice::SetStalled(bool bStalled)
{
    if (bStalled)
        ::ResetEvent(m_hRunning);
    else
        ::SetEvent(m_hRunning);
}

CDeviceCounters CSimulatedDevice::Counters()
{
    ::EnterCriticalSection(&m_lock);
    const CDeviceCounters counters = m_counters;
    ::LeaveCriticalSection(&m_lock);
    return counters;
}

bool CSimulatedDevice::WaitIdle(DWORD dwTimeoutMs)
{
    // A client's open completes before the listener hears of it, so idle
    // must hold for a few polls in a row.
    constexpr int kQuietPolls = 3;
    const DWORD dwStart = ::GetTickCount();
    int nQuiet = 0;
    for (;;)
    {
        ::EnterCriticalSection(&m_lock);
        const bool bIdle = m_nOpenSessions == 0 && !m_interfaceListener.HasUnclaimedClient()
                           && !m_pipeListener.HasUnclaimedClient();
        ::LeaveCriticalSection(&m_lock);
        nQuiet = bIdle ? nQuiet + 1 : 0;
        if (nQuiet == kQuietPolls)
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        ::Sleep(10);
    }
}

void CSimulatedDevice::PruneSessions()
{
    auto itEnd = std::remove_if(m_arrSessionThreads.begin(), m_arrSessionThreads.end(), [](HANDLE hThread) {
        if (::WaitForSingleObject(hThread, 0) != WAIT_OBJECT_0)
            return false;
        ::CloseHandle(hThread);
        return true;
    });
    m_arrSessionThreads.erase(itEnd, m_arrSessionThreads.end());
}

// Called with the pipe's connections opened (+1) or ended (-1).
void CSimulatedDevice::CountPipe(int nChange)
{
    ::EnterCriticalSection(&m_interfaceLock);
    m_nOpenPipes += nChange;
    std::string strError;
    if (!UpdateInterface(strError))
        m_log.Write(m_strName + " " + strError);
    ::LeaveCriticalSection(&m_interfaceLock);
}

void CSimulatedDevice::OnConnected(EEndpoint endpoint, HANDLE hPipe)
{
    if (endpoint == EEndpoint::Pipe)
        CountPipe(+1);
    auto* pSession = new SSession{ this, endpoint, hPipe };
    ::EnterCriticalSection(&m_lock);
    if (endpoint == EEndpoint::Interface)
        ++m_counters.m_nInterfaceOpens;
    else
        ++m_counters.m_nPipeOpens;
    ++m_nOpenSessions;
    PruneSessions();
    HANDLE hThread = ::CreateThread(nullptr, 0, SessionThread, pSession, 0, nullptr);
    if (hThread != nullptr)
        m_arrSessionThreads.push_back(hThread);
    ::LeaveCriticalSection(&m_lock);
    m_log.Write(m_strName + (endpoint == EEndpoint::Interface ? " interface opened" : " PIPE00 opened"));
    if (hThread == nullptr)
    {
        m_log.Write(m_strName + " cannot start a session thread");
        ::EnterCriticalSection(&m_lock);
        --m_nOpenSessions;
        ::LeaveCriticalSection(&m_lock);
        ::CloseHandle(hPipe);
        delete pSession;
        if (endpoint == EEndpoint::Pipe)
            CountPipe(-1);
    }
}

DWORD WINAPI CSimulatedDevice::SessionThread(LPVOID pParam)
{
    auto* pSession = static_cast<SSession*>(pParam);
    pSession->m_pDevice->RunSession(pSession->m_endpoint, pSession->m_hPipe);
    delete pSession;
    return 0;
}

// One overlapped read, given up when the device is unplugged. False when
// the connection has ended.
bool CSimulatedDevice::ReadSome(HANDLE hPipe, HANDLE hEvent, char* pBuffer, DWORD dwMax, DWORD& dwRead)
{
    OVERLAPPED overlapped = {};
    overlapped.hEvent = hEvent;
    dwRead = 0;
    if (!::ReadFile(hPipe, pBuffer, dwMax, nullptr, &overlapped) && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    HANDLE arrWait[2] = { hEvent, m_hStop };
    if (::WaitForMultipleObjects(2, arrWait, FALSE, INFINITE) != WAIT_OBJECT_0)
    {
        ::CancelIo(hPipe);
        ::GetOverlappedResult(hPipe, &overlapped, &dwRead, TRUE);
        return false;
    }
    return ::GetOverlappedResult(hPipe, &overlapped, &dwRead, FALSE) != FALSE;
}

void CSimulatedDevice::Record(EEndpoint endpoint, const char* pBytes, DWORD dwCount)
{
    ::EnterCriticalSection(&m_lock);
    if (endpoint == EEndpoint::Pipe)
    {
        DWORD dwWritten = 0;
        ::WriteFile(m_hRecord, pBytes, dwCount, &dwWritten, nullptr);
        m_counters.m_nPipeBytes += dwCount;
    }
    else
    {
        m_counters.m_nInterfaceBytes += dwCount;
    }
    ::LeaveCriticalSection(&m_lock);
}

void CSimulatedDevice::RunSession(EEndpoint endpoint, HANDLE hPipe)
{
    HANDLE hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<char> buffer(kReadSize);
    long long nReceived = 0;
    bool bBroken = false;
    for (;;)
    {
        DWORD dwMax = kReadSize;
        if (endpoint == EEndpoint::Pipe)
        {
            HANDLE arrWait[2] = { m_hStop, m_hRunning };
            if (::WaitForMultipleObjects(2, arrWait, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
                break;
            ::EnterCriticalSection(&m_lock);
            const long long nBreakAfter = m_nBreakAfter;
            ::LeaveCriticalSection(&m_lock);
            if (nBreakAfter >= 0)
            {
                if (nReceived >= nBreakAfter)
                {
                    bBroken = true;
                    break;
                }
                dwMax = static_cast<DWORD>(std::min<long long>(dwMax, nBreakAfter - nReceived));
            }
        }
        DWORD dwRead = 0;
        if (!ReadSome(hPipe, hEvent, buffer.data(), dwMax, dwRead))
            break;
        Record(endpoint, buffer.data(), dwRead);
        nReceived += dwRead;
    }
    // Whether the client closed, the device was unplugged or the pipe
    // breaks, the client's handle is left with no server behind it.
    ::DisconnectNamedPipe(hPipe);
    ::CloseHandle(hPipe);
    ::CloseHandle(hEvent);
    ::EnterCriticalSection(&m_lock);
    if (endpoint == EEndpoint::Interface)
        ++m_counters.m_nInterfaceCloses;
    else
        ++m_counters.m_nPipeCloses;
    if (bBroken)
        ++m_counters.m_nPipeBreaks;
    --m_nOpenSessions;
    ::LeaveCriticalSection(&m_lock);
    if (endpoint == EEndpoint::Pipe)
        CountPipe(-1);
    const std::string strWhat = endpoint == EEndpoint::Interface ? " interface" : " PIPE00";
    m_log.Write(m_strName + strWhat + (bBroken ? " broken after " : " closed after ") + std::to_string(nReceived)
                + " bytes");
}
