// The shipped program in the display language Wine takes from LC_ALL, which
// ctest sets for each run of these cases: the window, a failure box and a
// whole update in the translation the region's users read, or in English.
#include "Fixture.h"
#include <cstdlib>
#include <cstring>
#include "resource.h"
#include "ServiceControl.h"
#include "support/ProgramTexts.h"

namespace
{
const LANGID kEnglish = 0x0409;
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL);

// The translation each locale the cases run in must choose.
LANGID ExpectedLanguage()
{
    const struct
    {
        const char* pszLocale;
        LANGID langId;
    } kRows[] = {
        { "de_DE.UTF-8", kGerman },
        { "de_AT.UTF-8", kGerman },
        { "ar_EG.UTF-8", MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL) },
        { "pt_PT.UTF-8", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN) },
        { "zh_TW.UTF-8", kEnglish },
        { "sv_SE.UTF-8", kEnglish },
    };
    const char* pszLocale = std::getenv("LC_ALL");
    for (const auto& row : kRows)
        if (pszLocale != nullptr && strcmp(pszLocale, row.pszLocale) == 0)
            return row.langId;
    ADD_FAILURE() << "run by ctest with LC_ALL set to a locale of the table, not " << (pszLocale ? pszLocale : "none");
    return kEnglish;
}
}

class CLanguageTest : public CE2ETest
{
};

// A download that fails with 404 and its box, then the update whole; an
// Arabic window is mirrored.
TEST_F(CLanguageTest, FailureBoxAndWholeUpdate)
{
    const LANGID langId = ExpectedLanguage();
    constexpr unsigned kImageSize = 30000;
    ASSERT_NO_FATAL_FAILURE(SetScenario(R"([{"status": 404}, )" + ImageScenario(kImageSize, 41) + "]"));
    ASSERT_NO_FATAL_FAILURE(PlugDevice());
    ASSERT_NO_FATAL_FAILURE(StartUpdater(TranslatedView(CWindowView::Connected(), langId)));
    EXPECT_EQ((::GetWindowLongW(m_window.Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0,
              PRIMARYLANGID(langId) == LANG_ARABIC)
        << "mirrored";

    m_window.ClickButton();
    wchar_t szExpected[128];
    swprintf(szExpected, 128, ShippedText(langId, IDS_HTTP_STATUS_FORMAT).c_str(), 404);
    ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(Narrow(szExpected), TranslatedView(CWindowView::Connected(), langId)));

    m_window.ClickButton();
    ASSERT_NO_FATAL_FAILURE(WaitForView(TranslatedView(CWindowView::Done(), langId)));
    ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 41));
}

TEST_F(CLanguageTest, RegionChoosesItsUsersTranslation)
{
    ASSERT_NO_FATAL_FAILURE(StartUpdater(TranslatedView(CWindowView::Disconnected(), ExpectedLanguage())));
}
