// The window in every language it carries and in the pseudo-locale: each
// state's texts in that language, every shown text inside its control and
// every control inside the window and apart; Arabic mirrored but for the
// picture. Built into the 96 and the 144 dpi programs.
#include "app/Notifications.h"
#include "app/TextLanguage.h"
#include "app/UserTexts.h"
#include "support/Pixels.h"
#include "support/ProgramTexts.h"
#include "Fixture.h"

// Names a failing row by its language.
void PrintTo(const CTextLanguage& language, std::ostream* pStream)
{
    *pStream << language.m_pszTag;
}

namespace
{
class WindowLanguageTest : public CWindowFixture, public testing::WithParamInterface<CTextLanguage>
{
protected:
    WindowLanguageTest()
    {
        g_langText = GetParam().m_langId;
        ApplyTextDirection();
    }
    ~WindowLanguageTest() override
    {
        g_langText = LANGID_ENGLISH;
        ApplyTextDirection();
    }

    // The control shows the text nID in the test's language, which is not
    // the English one unless the language is English.
    void ExpectText(int nControl, UINT nID) const
    {
        const HMODULE hModule = ::GetModuleHandleW(nullptr);
        const std::wstring strText = m_run.Text(nControl);
        EXPECT_EQ(strText, TableText(hModule, GetParam().m_langId, nID)) << "control " << nControl;
        EXPECT_EQ(strText == TableText(hModule, LANGID_ENGLISH, nID), GetParam().m_langId == LANGID_ENGLISH);
    }

    // Every shown control lies inside the window's client area, overlaps no
    // other shown control, and holds its text whole: a static's broken into
    // lines at its width, a button's on one line within its frame's edges.
    void ExpectEverythingFits() const
    {
        RECT rectClient;
        ASSERT_TRUE(::GetClientRect(m_run.Window(), &rectClient));
        const std::vector<int> arrShown = m_run.ShownControls();
        for (size_t i = 0; i < arrShown.size(); ++i)
        {
            const RECT rect = m_run.ControlRect(arrShown[i]);
            SCOPED_TRACE(testing::Message() << "control " << arrShown[i] << " at " << DescribeRect(rect));
            RECT rectOther;
            ::UnionRect(&rectOther, &rect, &rectClient);
            EXPECT_TRUE(::EqualRect(&rectOther, &rectClient)) << "outside the window " << DescribeRect(rectClient);
            for (size_t j = i + 1; j < arrShown.size(); ++j)
            {
                const RECT rectNext = m_run.ControlRect(arrShown[j]);
                EXPECT_FALSE(::IntersectRect(&rectOther, &rect, &rectNext)) << "overlaps " << arrShown[j];
            }

            const bool bButton = arrShown[i] == IDOK;
            if (!bButton && arrShown[i] != IDC_STATIC_STATUS && arrShown[i] != IDC_STATIC_DOWNLOAD
                && arrShown[i] != IDC_STATIC_UPDATE)
                continue;
            const HWND hControl = m_run.Control(arrShown[i]);
            const HDC hDC = ::GetDC(hControl);
            const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(hControl, WM_GETFONT, 0, 0)));
            RECT rectText = { 0, 0, bButton ? 0 : rect.right - rect.left, 0 };
            ::DrawTextW(hDC, m_run.Text(arrShown[i]).c_str(), -1, &rectText,
                        DT_CALCRECT | (bButton ? DT_SINGLELINE : DT_WORDBREAK | DT_CENTER | DT_EXPANDTABS));
            ::SelectObject(hDC, hOld);
            ::ReleaseDC(hControl, hDC);
            const LONG nEdges = bButton ? 4 * ::GetSystemMetrics(SM_CXEDGE) : 0;
            EXPECT_LE(rectText.right + nEdges, rect.right - rect.left) << "text too wide";
            EXPECT_LE(rectText.bottom, rect.bottom - rect.top) << "text too tall";
        }
    }
};
}

TEST_P(WindowLanguageTest, EveryStateSpeaksTheLanguageAndFits)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow(false));
    wchar_t szTitle[64] = {};
    ::GetWindowTextW(m_run.Window(), szTitle, 64);
    EXPECT_STREQ(szTitle, UPDATER_CAPTION);
    const bool bMirrored = (::GetWindowLongW(m_run.Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    EXPECT_EQ(bMirrored, PRIMARYLANGID(GetParam().m_langId) == LANG_ARABIC);

    SCOPED_TRACE("disconnected");
    ExpectText(IDC_STATIC_STATUS, IDS_SWITCH_TO_DL);
    ExpectEverythingFits();
    EXPECT_EQ(ShownPictureDifference(m_run.Window(), m_run.Control(IDC_PICTURE)), "") << "the picture, unmirrored";

    ASSERT_TRUE(m_sim.Plug(DEVICE_NAME)) << m_sim.LastReply();
    ASSERT_TRUE(m_run.WaitForState(STATE_CONNECTED, POLL_DEADLINE_MS));
    SCOPED_TRACE("connected");
    ExpectText(IDC_STATIC_STATUS, IDS_CONNECTED);
    ExpectText(IDOK, IDS_UPDATE_BUTTON);
    ExpectEverythingFits();

    m_run.Notify(UWM_DOWNLOAD_BEGIN);
    SCOPED_TRACE("downloading");
    ExpectText(IDC_STATIC_DOWNLOAD, IDS_DOWNLOADING);
    ExpectText(IDC_STATIC_UPDATE, IDS_UPDATE_NOT_STARTED);
    ExpectEverythingFits();

    m_run.Notify(UWM_UPDATE_BEGIN);
    SCOPED_TRACE("updating");
    ExpectText(IDC_STATIC_UPDATE, IDS_UPDATING);
    ExpectEverythingFits();

    m_run.Notify(UWM_UPDATE_COMPLETE, 1);
    SCOPED_TRACE("done");
    ExpectText(IDC_STATIC_STATUS, IDS_UPDATED);
    ExpectText(IDOK, IDS_DONE_BUTTON);
    ExpectEverythingFits();
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowLanguageTest, testing::ValuesIn(kTextLanguages),
                         testing::PrintToStringParamName());
