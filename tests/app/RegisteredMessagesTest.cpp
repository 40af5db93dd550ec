// The six notification names registered in separate processes give the same
// identifiers, all in the range of registered messages.
#include "support/ChildProcess.h"
#include "app/Notifications.h"
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <vector>

namespace
{
std::vector<UINT> IdentifiersOfAnotherProcess()
{
    CChildProcess probe;
    if (!probe.Start(PathNextToThisProgram(L"RegisteredMessagesProbe.exe"), L"", CHILD_OUTPUT_CAPTURED))
        return {};
    std::istringstream output(probe.ReadAllOutput());
    std::vector<UINT> ids;
    for (UINT nId = 0; output >> nId;)
        ids.push_back(nId);
    DWORD dwExitCode = 1;
    if (!probe.WaitForExit(10000, dwExitCode) || dwExitCode != 0)
        return {};
    return ids;
}
}

TEST(RegisteredMessages, EveryProcessGetsTheSameSixIdentifiers)
{
    const std::vector<UINT> ours = { UWM_DOWNLOAD_BEGIN, UWM_DOWNLOAD_PROGRESS, UWM_DOWNLOAD_COMPLETE,
                                     UWM_UPDATE_BEGIN,   UWM_UPDATE_PROGRESS,   UWM_UPDATE_COMPLETE };
    for (UINT nId : ours)
    {
        EXPECT_GE(nId, 0xC000u);
        EXPECT_LE(nId, 0xFFFFu);
    }
    EXPECT_EQ(6u, std::set<UINT>(ours.begin(), ours.end()).size()) << "identifiers must differ";

    const std::vector<UINT> first = IdentifiersOfAnotherProcess();
    const std::vector<UINT> second = IdentifiersOfAnotherProcess();
    EXPECT_EQ(ours, first);
    EXPECT_EQ(ours, second);
    EXPECT_EQ(::RegisterWindowMessageW(L"UWM_UPDATE_COMPLETE"), UWM_UPDATE_COMPLETE);
}
