// Runs the calling thread's messages until a condition holds or time runs out.
#pragma once
#include "framework/Platform.h"

template <class Condition>
bool PumpUntil(Condition condition, DWORD dwTimeoutMs = 5000)
{
    const ULONGLONG nEnd = ::GetTickCount64() + dwTimeoutMs;
    while (!condition())
    {
        if (::GetTickCount64() > nEnd)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
