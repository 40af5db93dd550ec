// The shipped program in the display language Wine takes from LC_ALL: a
// failure box and a whole update in German and in Arabic, and the regions
// whose users read another translation, or English.
#include "Fixture.h"
#include "resource.h"
#include "ServiceControl.h"
#include "support/ProgramTexts.h"

namespace
{
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL);
const LANGID kArabic = MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL);
}

class CLanguageTest : public CE2ETest
{
protected:
    // A download that fails with 404, its box, then the update whole.
    void FailThenUpdate(const char* pszLocale, LANGID langId)
    {
        ASSERT_NO_FATAL_FAILURE(SetEnvironment("LC_ALL", pszLocale));
        constexpr unsigned kImageSize = 30000;
        ASSERT_NO_FATAL_FAILURE(SetScenario("[" + std::string(R"({"status": 404})") + ", "
                                            + ImageScenario(kImageSize, 41) + "]"));
        ASSERT_NO_FATAL_FAILURE(PlugDevice());
        ASSERT_NO_FATAL_FAILURE(StartUpdater(TranslatedView(CWindowView::Connected(), langId)));

        m_window.ClickButton();
        wchar_t szExpected[128];
        swprintf(szExpected, 128, ShippedText(langId, IDS_HTTP_STATUS_FORMAT).c_str(), 404);
        ASSERT_NO_FATAL_FAILURE(ExpectFailureBox(Narrow(szExpected), TranslatedView(CWindowView::Connected(), langId)));

        m_window.ClickButton();
        ASSERT_NO_FATAL_FAILURE(WaitForView(TranslatedView(CWindowView::Done(), langId)));
        ExpectDeviceHolds(ServiceGeneratedBody(kImageSize, 41));
    }
};

TEST_F(CLanguageTest, GermanFailureBoxAndWholeUpdate)
{
    FailThenUpdate("de_DE.UTF-8", kGerman);
}

TEST_F(CLanguageTest, ArabicMirroredFailureBoxAndWholeUpdate)
{
    ASSERT_NO_FATAL_FAILURE(FailThenUpdate("ar_EG.UTF-8", kArabic));
    EXPECT_NE(::GetWindowLongW(m_window.Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "a mirrored window";
}

TEST_F(CLanguageTest, RegionsChooseTheirUsersTranslation)
{
    const struct
    {
        const char* pszLocale;
        LANGID langExpected;
    } kRows[] = {
        { "de_AT.UTF-8", kGerman },
        { "pt_PT.UTF-8", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN) },
        { "zh_TW.UTF-8", 0x0409 },
        { "sv_SE.UTF-8", 0x0409 },
    };
    for (const auto& row : kRows)
    {
        SCOPED_TRACE(row.pszLocale);
        ASSERT_NO_FATAL_FAILURE(SetEnvironment("LC_ALL", row.pszLocale));
        ASSERT_NO_FATAL_FAILURE(StartUpdater(TranslatedView(CWindowView::Disconnected(), row.langExpected)));
        m_window.Close();
        ExpectProcessEnds();
    }
}
