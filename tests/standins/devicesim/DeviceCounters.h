// A simulated device's counters: kept by the simulator, reported by its
// "stats" command, and read back by the control library.
#pragma once
#include <utility>

struct CDeviceCounters
{
    unsigned long long m_nInterfaceOpens = 0;
    unsigned long long m_nInterfaceCloses = 0;
    unsigned long long m_nPipeOpens = 0;
    unsigned long long m_nPipeCloses = 0;
    unsigned long long m_nPipeBreaks = 0;
    unsigned long long m_nInterfaceBytes = 0;
    unsigned long long m_nPipeBytes = 0;
};

// The counters by their names in the "stats" reply, in its order.
constexpr std::pair<const char*, unsigned long long CDeviceCounters::*> g_arrDeviceCounters[] = {
    { "interface-opens", &CDeviceCounters::m_nInterfaceOpens },
    { "interface-closes", &CDeviceCounters::m_nInterfaceCloses },
    { "pipe-opens", &CDeviceCounters::m_nPipeOpens },
    { "pipe-closes", &CDeviceCounters::m_nPipeCloses },
    { "pipe-breaks", &CDeviceCounters::m_nPipeBreaks },
    { "interface-bytes", &CDeviceCounters::m_nInterfaceBytes },
    { "pipe-bytes", &CDeviceCounters::m_nPipeBytes },
};
