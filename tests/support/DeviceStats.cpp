#include "support/DeviceStats.h"
#include <gtest/gtest.h>

CDeviceStats SettledStats(CDeviceSimulator& sim, const std::string& strDevice)
{
    CDeviceStats stats;
    EXPECT_TRUE(sim.WaitIdle(strDevice) && sim.GetStats(strDevice, stats)) << strDevice << ": " << sim.LastReply();
    return stats;
}
