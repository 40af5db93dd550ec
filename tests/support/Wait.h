// Waiting for a condition: by polling it, or while running the calling
// thread's messages, which a window of that thread needs to answer.
#pragma once
#include <windows.h>
#include <functional>

// Checks bMet every dwStepMs until it holds (true) or dwTimeoutMs has passed
// (false).
bool WaitFor(const std::function<bool()>& bMet, DWORD dwTimeoutMs, DWORD dwStepMs);
// The same with a pause between checks that nextStepMs gives each time.
bool WaitFor(const std::function<bool()>& bMet, DWORD dwTimeoutMs, const std::function<DWORD()>& nextStepMs);

// Dispatches every message waiting in the calling thread's queue.
void PumpMessages();
// Runs the calling thread's messages for dwMs.
void PumpFor(DWORD dwMs);
// Runs the calling thread's messages until bMet holds (true) or dwTimeoutMs
// has passed (false).
bool PumpUntil(const std::function<bool()>& bMet, DWORD dwTimeoutMs = 5000);
