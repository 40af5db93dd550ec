// Watches the updater window's thread through its hooks: every text set on
// and every visibility change of a control of the window, and every move of
// the focus onto a hidden window (sent messages, seen by WH_CALLWNDPROC as
// they happen), and every poll tick the window takes from its queue
// (posted, seen by WH_GETMESSAGE). One log at a time per process.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CWindowMessageLog
{
public:
    CWindowMessageLog() = default;
    ~CWindowMessageLog();
    CWindowMessageLog(const CWindowMessageLog&) = delete;
    CWindowMessageLog& operator=(const CWindowMessageLog&) = delete;

    // Installs the hooks for the calling thread.
    bool Install();
    void Remove();

    // Lines "settext <id> <text>" and "show <id> <0|1>", in order of arrival.
    std::vector<std::string> ControlEvents() const;
    // The ids of the hidden windows that took the focus.
    std::vector<int> HiddenFocus() const;
    // WM_TIMER messages of the poll timer taken off the queue so far.
    long PollTicks() const;

private:
    HHOOK m_hCallHook = nullptr;
    HHOOK m_hGetHook = nullptr;
};
