// A simulated device's counters: kept by the simulator, reported by its
// "stats" command, and read back by the control library.
#pragma once

struct CDeviceCounters
{
    unsigned long m_nInterfaceOpens = 0;
    unsigned long m_nInterfaceCloses = 0;
    unsigned long m_nPipeOpens = 0;
    unsigned long m_nPipeCloses = 0;
    unsigned long m_nPipeBreaks = 0;
    unsigned long long m_nInterfaceBytes = 0;
    unsigned long long m_nPipeBytes = 0;
};
