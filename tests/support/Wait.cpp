#include "support/Wait.h"

bool WaitFor(const std::function<bool()>& bMet, DWORD dwTimeoutMs, const std::function<DWORD()>& nextStepMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        if (bMet())
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        ::Sleep(nextStepMs());
    }
}

bool WaitFor(const std::function<bool()>& bMet, DWORD dwTimeoutMs, DWORD dwStepMs)
{
    return WaitFor(bMet, dwTimeoutMs, [dwStepMs] { return dwStepMs; });
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD dwMs)
{
    const DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < dwMs)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

bool PumpUntil(const std::function<bool()>& bMet, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    while (!bMet())
    {
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
