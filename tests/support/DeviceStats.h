// A simulated device's counters once every connection to it has ended; a
// test failure when the simulator cannot say.
#pragma once
#include <string>
#include "DeviceSimControl.h"

CDeviceStats SettledStats(CDeviceSimulator& sim, const std::string& strDevice);
