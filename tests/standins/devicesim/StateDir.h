// Where the device stand-in keeps its state: the folder that the simulator,
// the stand-in setupapi.dll and the test control library share.
#pragma once
#include <string>
#include <vector>

// Environment variable naming the state folder for the stand-in setupapi.dll.
constexpr const char* DEVSIM_DIR_VARIABLE = "ORVEK_DEVSIM_DIR";

// The interfaces present now, one entry a line, in enumeration order; kept
// current by the simulator.
constexpr const char* DEVSIM_DEVICES_FILE = "devices.txt";
// One line per device information set made or released by the stand-in DLL.
constexpr const char* DEVSIM_SETUPAPI_LOG = "setupapi.log";
// Written by the simulator once its control pipe listens.
constexpr const char* DEVSIM_READY_FILE = "simulator.txt";
// The simulator's own messages.
constexpr const char* DEVSIM_LOG_FILE = "simulator.log";

// A Windows path for the state folder: a Unix path ("/tmp/x", as scripts
// pass it) becomes a path on Wine's drive Z:. Trailing separators go.
std::string NormalizeStateDir(const std::string& strDir);

// The state folder named by ORVEK_DEVSIM_DIR, normalized; empty when unset.
std::string StateDirFromEnvironment();

// strDir + '\' + pszName.
std::string StateFile(const std::string& strDir, const std::string& strName);

// The file that records the bytes written into a device's PIPE00.
std::string RecordedPipeFile(const std::string& strDir, const std::string& strDevice);

// The whole content of a file; false if it cannot be read.
bool ReadWholeFile(const std::string& strPath, std::string& strContent);
// The lines of a file without their line ends; none if it cannot be read.
std::vector<std::string> ReadLines(const std::string& strPath);

// The simulator's control pipe for a state folder.
std::string ControlPipeName(const std::string& strDir);

// The interface path of a simulated device called strDevice in a state folder:
// "\\.\pipe\orvek-<8 hex digits of the folder>-<strDevice>".
std::string DevicePipePath(const std::string& strDir, const std::string& strDevice);
