// The built program started as a user starts it: its one top-level window
// comes up from the template, and Escape or the close box end the process.
#include "support/ChildProcess.h"
#include "support/Controls.h"
#include "support/Press.h"
#include "support/Wait.h"
#include "support/WindowSearch.h"
#include <gtest/gtest.h>

namespace
{
// The program's visible dialog, once it is up.
HWND WaitForDialog(const CChildProcess& program)
{
    HWND hFound = nullptr;
    WaitFor([&] { return (hFound = FindProcessWindow(program.ProcessId(), true)) != nullptr; }, 15000, 50);
    return hFound;
}

// The key goes to the control with the focus, as the keyboard would send it.
void PressEscape(const CChildProcess& /*program*/, HWND hDialog)
{
    PressKey(hDialog, VK_ESCAPE);
}

// Clicks the close box with the mouse, found where the window reports it.
void ClickCloseBox(const CChildProcess& /*program*/, HWND hDialog)
{
    POINT ptClose;
    ASSERT_TRUE(FindCloseBox(hDialog, &ptClose)) << "no close box on the caption";
    ClickAt(ptClose);
}

struct CloseWay
{
    const char* pszName;
    void (*pfnClose)(const CChildProcess&, HWND);
};

void PrintTo(const CloseWay& way, std::ostream* os) { *os << way.pszName; }

class ProgramWindowTest : public testing::TestWithParam<CloseWay>
{
};
}

TEST(ProgramWindow, OpensOneTopLevelDialogFromTheTemplate)
{
    CChildProcess program;
    ASSERT_TRUE(program.Start(PathNextToThisProgram(L"OrvekUpdater.exe")));
    const HWND hDialog = WaitForDialog(program);
    ASSERT_NE(nullptr, hDialog) << "the program showed no dialog";

    EXPECT_EQ(L"Orvek Updater", TextOf(hDialog));
    EXPECT_EQ(nullptr, ::GetParent(hDialog));
    EXPECT_EQ(nullptr, ::GetWindow(hDialog, GW_OWNER));
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongW(hDialog, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(::GetWindowLongW(hDialog, GWL_EXSTYLE));
    // The system adds these two to every top-level dialog.
    EXPECT_EQ(0x90C800C8u, dwStyle & ~static_cast<DWORD>(WS_CLIPSIBLINGS | DS_3DLOOK))
        << std::hex << "got 0x" << dwStyle;
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW), dwExStyle & WS_EX_APPWINDOW) << std::hex << "got 0x" << dwExStyle;
    EXPECT_EQ(0u, dwStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    // The status line is the template's, with the disconnected state's text:
    // nothing here stands in for the device.
    const HWND hStatus = ::GetDlgItem(hDialog, 1006);
    ASSERT_NE(nullptr, hStatus);
    EXPECT_EQ(L"Switch Orvek to D/L mode and connect it to your computer.", TextOf(hStatus));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDialog, 1000)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDialog, IDOK)));

    ::PostMessageW(hDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD dwExitCode = 1;
    EXPECT_TRUE(program.WaitForExit(10000, dwExitCode));
}

TEST_P(ProgramWindowTest, EndsTheProcess)
{
    CChildProcess program;
    ASSERT_TRUE(program.Start(PathNextToThisProgram(L"OrvekUpdater.exe")));
    const HWND hDialog = WaitForDialog(program);
    ASSERT_NE(nullptr, hDialog) << "the program showed no dialog";

    GetParam().pfnClose(program, hDialog);
    DWORD dwExitCode = 1;
    ASSERT_TRUE(program.WaitForExit(10000, dwExitCode)) << "the program is still running";
    EXPECT_EQ(0u, dwExitCode);
}

INSTANTIATE_TEST_SUITE_P(ByTheUser, ProgramWindowTest,
                         testing::Values(CloseWay{ "Escape", &PressEscape }, CloseWay{ "CloseBox", &ClickCloseBox }),
                         [](const testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.pszName); });
