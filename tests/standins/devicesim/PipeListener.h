// Serves one named pipe: keeps a few instances waiting for clients, so that
// every open finds a fresh instance, and hands each connected instance on.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

class CPipeListener
{
public:
    // Called on the listener's thread with a connected instance, which it owns from then on.
    using FConnected = std::function<void(HANDLE hPipe)>;

    CPipeListener();
    ~CPipeListener();
    CPipeListener(const CPipeListener&) = delete;
    CPipeListener& operator=(const CPipeListener&) = delete;

    // Creates the waiting instances (opens succeed once this returns) and the
    // thread that accepts clients. The instances are overlapped.
    bool Start(const std::string& strName, DWORD dwInBufferSize, FConnected fnConnected);
    // Closes the waiting instances: opens fail from then on. Connected instances are not touched.
    void Stop();
    bool IsRunning() const { return m_hThread != nullptr; }
    // True while a client has connected that the listener has not handed on yet.
    bool HasUnclaimedClient() const;

private:
    static constexpr int kWaitingInstances = 32;

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    HANDLE CreateInstance();
    bool Listen(int nSlot);

    std::string m_strName;
    DWORD m_dwInBufferSize;
    FConnected m_fnConnected;
    HANDLE m_hThread;
    HANDLE m_hStop;
    HANDLE m_arrInstances[kWaitingInstances];
    HANDLE m_arrEvents[kWaitingInstances];
    OVERLAPPED m_arrOverlapped[kWaitingInstances];
    bool m_arrConnectedEarly[kWaitingInstances];
};
