// Escape, the close box, Alt+F4 and the system menu's Close end the window
// with IDCANCEL: at once in every state but the write, where a question
// comes first. The keys and the click are real input, through the system's
// input queue, so these cases run alone: another test's window could take
// the foreground.
#include <string>
#include "app/Notifications.h"
#include "support/Press.h"
#include "support/WineQuirks.h"
#include "resource.h"
#include "Fixture.h"

namespace
{
enum class Ending
{
    EscapeKey,
    CloseBox,
    AltF4,
    SystemMenuClose
};

struct CCloseCase
{
    int nState;
    Ending ending;
};

std::string Describe(const CCloseCase& closeCase)
{
    static const char* const kStates[] = { "None", "Disconnected", "Connected", "Downloading", "Updating", "Done" };
    static const char* const kEndings[] = { "EscapeKey", "CloseBox", "AltF4", "SystemMenuClose" };
    return std::string(kStates[closeCase.nState]) + "_" + kEndings[static_cast<int>(closeCase.ending)];
}

void PrintTo(const CCloseCase& closeCase, std::ostream* pStream)
{
    *pStream << Describe(closeCase);
}

std::string CaseName(const ::testing::TestParamInfo<CCloseCase>& info)
{
    return Describe(info.param);
}

class WindowCloseTest : public CWindowFixture, public ::testing::WithParamInterface<CCloseCase>
{
protected:
    void Reach(int nState)
    {
        if (nState >= STATE_DOWNLOADING)
            m_run.Notify(UWM_DOWNLOAD_BEGIN);
        if (nState >= STATE_UPDATING)
            m_run.Notify(UWM_UPDATE_BEGIN);
        if (nState == STATE_DONE)
            m_run.Notify(UWM_UPDATE_COMPLETE, 1);
        ASSERT_EQ(m_run.State(), nState);
    }
};
}

TEST_P(WindowCloseTest, EndsTheWindowWithCancelAskingOnlyDuringTheWrite)
{
    const CCloseCase closeCase = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenWindow(closeCase.nState != STATE_DISCONNECTED));
    ASSERT_NO_FATAL_FAILURE(Reach(closeCase.nState));
    const HWND hWnd = m_run.Window();

    switch (closeCase.ending)
    {
    case Ending::EscapeKey:
        ASSERT_TRUE(::SetForegroundWindow(hWnd));
        SendKey(VK_ESCAPE);
        break;
    case Ending::CloseBox:
    {
        POINT pt;
        ASSERT_TRUE(FindCloseBox(hWnd, &pt));
        ASSERT_TRUE(::SetForegroundWindow(hWnd));
        ClickAt(pt);
        break;
    }
    case Ending::AltF4:
        ASSERT_TRUE(::SetForegroundWindow(hWnd));
        SendKey(VK_F4, true);
        break;
    case Ending::SystemMenuClose:
        ::PostMessageW(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }

    if (closeCase.nState == STATE_UPDATING)
    {
        const HWND hQuestion = m_run.WaitForOwnedBox(5000);
        ASSERT_NE(hQuestion, nullptr) << "no question during the write";
        EXPECT_TRUE(::IsWindow(hWnd));
        ASSERT_TRUE(DismissBox(hQuestion, IDYES));
    }
    ASSERT_TRUE(m_run.WaitForEnd(5000)) << "the window is still open in state " << m_run.State();
    EXPECT_EQ(m_run.Result(), IDCANCEL);
    EXPECT_FALSE(::IsWindow(hWnd));
}

INSTANTIATE_TEST_SUITE_P(
    EveryState, WindowCloseTest,
    ::testing::Values(CCloseCase{ STATE_DISCONNECTED, Ending::EscapeKey }, CCloseCase{ STATE_DISCONNECTED, Ending::CloseBox },
                      CCloseCase{ STATE_DISCONNECTED, Ending::SystemMenuClose },
                      CCloseCase{ STATE_CONNECTED, Ending::EscapeKey }, CCloseCase{ STATE_CONNECTED, Ending::CloseBox },
                      CCloseCase{ STATE_CONNECTED, Ending::AltF4 }, CCloseCase{ STATE_CONNECTED, Ending::SystemMenuClose },
                      CCloseCase{ STATE_DOWNLOADING, Ending::EscapeKey }, CCloseCase{ STATE_DOWNLOADING, Ending::CloseBox },
                      CCloseCase{ STATE_DOWNLOADING, Ending::SystemMenuClose },
                      CCloseCase{ STATE_UPDATING, Ending::EscapeKey }, CCloseCase{ STATE_UPDATING, Ending::CloseBox },
                      CCloseCase{ STATE_UPDATING, Ending::AltF4 }, CCloseCase{ STATE_UPDATING, Ending::SystemMenuClose },
                      CCloseCase{ STATE_DONE, Ending::EscapeKey }, CCloseCase{ STATE_DONE, Ending::CloseBox },
                      CCloseCase{ STATE_DONE, Ending::SystemMenuClose }),
    CaseName);

// The question during the write: one at a time, however often the user asks
// to close, and its answer acts on the state the window is in when it comes:
// a write that has ended meanwhile is shown as it ended, whatever the answer.
class WindowStopQuestionTest : public CWindowFixture, public ::testing::WithParamInterface<int>
{
protected:
    // Asks during the write, asks twice more, and lets the write end; the
    // one question is left up.
    HWND AskThenEndTheWrite()
    {
        OpenWindow(true);
        if (HasFatalFailure())
            return nullptr;
        m_run.Notify(UWM_DOWNLOAD_BEGIN);
        m_run.Notify(UWM_UPDATE_BEGIN);
        ::PostMessageW(m_run.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        const HWND hQuestion = m_run.WaitForOwnedBox(5000);
        EXPECT_NE(hQuestion, nullptr) << "no question during the write";

        ::PostMessageW(m_run.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ::PostMessageW(m_run.Window(), WM_COMMAND, IDCANCEL, 0);
        // A tick comes off the queue only after every message posted before it.
        WaitForTicks(1);
        m_run.Notify(UWM_UPDATE_PROGRESS, 50);
        EXPECT_EQ(m_run.Position(IDC_PROGRESS_UPDATE), 50) << "the reports wait for the answer";
        m_run.Notify(UWM_UPDATE_COMPLETE, 1);
        EXPECT_EQ(m_run.State(), STATE_DONE);
        EXPECT_EQ(m_run.OwnedBoxes().size(), 1u);
        return hQuestion;
    }
};

TEST_P(WindowStopQuestionTest, AnswerAfterTheWriteEndedLeavesTheWindowDone)
{
    const HWND hQuestion = AskThenEndTheWrite();
    ASSERT_TRUE(DismissBox(hQuestion, GetParam()));
    WaitForTicks(1);
    EXPECT_FALSE(m_run.WaitForEnd(0)) << "the answer ended the window";
    EXPECT_EQ(m_run.State(), STATE_DONE);
    EXPECT_TRUE(m_run.OwnedBoxes().empty()) << "another question followed";
    EXPECT_EQ(m_run.Focus(), m_run.Control(IDOK)) << "\"Done!\" has no focus after the question";
}

INSTANTIATE_TEST_SUITE_P(YesAndNo, WindowStopQuestionTest, ::testing::Values(IDYES, IDNO),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == IDYES ? "Yes" : "No";
                         });
