// Which translation a display language reads.
#include "app/TextLanguage.h"
#include <gtest/gtest.h>

TEST(TextLanguageTest, RegionsReadTheTranslationTheirUsersExpect)
{
    const LANGID kEnglish = LANGID_ENGLISH;
    const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL);
    const LANGID kArabic = MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL);
    const LANGID kBrazilian = MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);
    const LANGID kSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const struct
    {
        LANGID langDisplay;
        LANGID langExpected;
    } kRows[] = {
        { 0x0409, kEnglish },    // en-US
        { 0x0809, kEnglish },    // en-GB
        { 0x0407, kGerman },     // de-DE
        { 0x0c07, kGerman },     // de-AT
        { 0x0807, kGerman },     // de-CH
        { 0x0c0c, MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL) },  // fr-CA
        { 0x080a, MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL) },  // es-MX
        { 0x0416, kBrazilian },  // pt-BR
        { 0x0816, kBrazilian },  // pt-PT
        { 0x0411, MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL) },
        { 0x0804, kSimplified },  // zh-CN
        { 0x1004, kSimplified },  // zh-SG
        { 0x0404, kEnglish },     // zh-TW
        { 0x0c04, kEnglish },     // zh-HK
        { 0x1404, kEnglish },     // zh-MO
        { 0x0401, kArabic },      // ar-SA
        { 0x0c01, kArabic },      // ar-EG
        { 0x041d, kEnglish },     // sv-SE
        { 0x0412, kEnglish },     // ko-KR
        { LANGID_PSEUDO, LANGID_PSEUDO },
        { 0x09ff, kEnglish },     // qps-plocm: no mirrored pseudo-translation
    };
    for (const auto& row : kRows)
        EXPECT_EQ(ChooseTextLanguage(row.langDisplay), row.langExpected) << std::hex << row.langDisplay;
}
