// Serves one named pipe with a fresh instance per client.
#include "PipeListener.h"

CPipeListener::CPipeListener()
    : m_dwInBufferSize(0), m_hThread(nullptr), m_hStop(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    for (int i = 0; i < kWaitingInstances; ++i)
    {
        m_arrInstances[i] = INVALID_HANDLE_VALUE;
        m_arrEvents[i] = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
}

CPipeListener::~CPipeListener()
{
    Stop();
    for (HANDLE hEvent : m_arrEvents)
        ::CloseHandle(hEvent);
    ::CloseHandle(m_hStop);
}

HANDLE CPipeListener::CreateInstance()
{
    return ::CreateNamedPipeA(m_strName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                              PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                              4096, m_dwInBufferSize, 0, nullptr);
}

// Starts waiting for a client on the instance in nSlot; a client that came
// before the wait shows as ERROR_PIPE_CONNECTED and is signalled at once.
bool CPipeListener::Listen(int nSlot)
{
    ZeroMemory(&m_arrOverlapped[nSlot], sizeof(OVERLAPPED));
    m_arrOverlapped[nSlot].hEvent = m_arrEvents[nSlot];
    ::ResetEvent(m_arrEvents[nSlot]);
    m_arrConnectedEarly[nSlot] = false;
    if (::ConnectNamedPipe(m_arrInstances[nSlot], &m_arrOverlapped[nSlot]))
    {
        m_arrConnectedEarly[nSlot] = true;
        ::SetEvent(m_arrEvents[nSlot]);
        return true;
    }
    const DWORD dwError = ::GetLastError();
    // Wine leaves this status in the overlapped record, so that
    // GetOverlappedResult would report the early client as a failure.
    if (dwError == ERROR_PIPE_CONNECTED)
    {
        m_arrConnectedEarly[nSlot] = true;
        ::SetEvent(m_arrEvents[nSlot]);
        return true;
    }
    return dwError == ERROR_IO_PENDING;
}

bool CPipeListener::Start(const std::string& strName, DWORD dwInBufferSize, FConnected fnConnected)
{
    if (IsRunning())
        return true;
    m_strName = strName;
    m_dwInBufferSize = dwInBufferSize;
    m_fnConnected = std::move(fnConnected);
    ::ResetEvent(m_hStop);
    for (int i = 0; i < kWaitingInstances; ++i)
    {
        m_arrInstances[i] = CreateInstance();
        if (m_arrInstances[i] == INVALID_HANDLE_VALUE || !Listen(i))
        {
            for (int j = 0; j <= i; ++j)
                if (m_arrInstances[j] != INVALID_HANDLE_VALUE)
                {
                    ::CloseHandle(m_arrInstances[j]);
                    m_arrInstances[j] = INVALID_HANDLE_VALUE;
                }
            return false;
        }
    }
    m_hThread = ::CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    return m_hThread != nullptr;
}

void CPipeListener::Stop()
{
    if (!IsRunning())
        return;
    ::SetEvent(m_hStop);
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    for (HANDLE& hInstance : m_arrInstances)
        if (hInstance != INVALID_HANDLE_VALUE)
        {
            ::CancelIo(hInstance);
            ::CloseHandle(hInstance);
            hInstance = INVALID_HANDLE_VALUE;
        }
}

bool CPipeListener::HasUnclaimedClient() const
{
    if (!IsRunning())
        return false;
    return ::WaitForMultipleObjects(kWaitingInstances, m_arrEvents, FALSE, 0) < WAIT_OBJECT_0 + kWaitingInstances;
}

DWORD WINAPI CPipeListener::ThreadProc(LPVOID pParam)
{
    static_cast<CPipeListener*>(pParam)->Run();
    return 0;
}

void CPipeListener::Run()
{
    HANDLE arrWait[kWaitingInstances + 1];
    arrWait[0] = m_hStop;
    for (int i = 0; i < kWaitingInstances; ++i)
        arrWait[i + 1] = m_arrEvents[i];
    for (;;)
    {
        const DWORD dwResult = ::WaitForMultipleObjects(kWaitingInstances + 1, arrWait, FALSE, INFINITE);
        if (dwResult == WAIT_OBJECT_0 || dwResult > WAIT_OBJECT_0 + kWaitingInstances)
            return;
        const int nSlot = static_cast<int>(dwResult - WAIT_OBJECT_0 - 1);
        HANDLE hConnected = m_arrInstances[nSlot];
        DWORD dwIgnored = 0;
        const bool bConnected = m_arrConnectedEarly[nSlot]
                                || ::GetOverlappedResult(hConnected, &m_arrOverlapped[nSlot], &dwIgnored, FALSE);
        // The replacement waits before the client is handed on, so that a
        // client opening right after this one finds an instance.
        m_arrInstances[nSlot] = CreateInstance();
        if (m_arrInstances[nSlot] == INVALID_HANDLE_VALUE || !Listen(nSlot))
        {
            if (m_arrInstances[nSlot] != INVALID_HANDLE_VALUE)
                ::CloseHandle(m_arrInstances[nSlot]);
            m_arrInstances[nSlot] = INVALID_HANDLE_VALUE;
            arrWait[nSlot + 1] = m_hStop;
        }
        if (bConnected)
            m_fnConnected(hConnected);
        else
            ::CloseHandle(hConnected);
    }
}
