// Which translation a display language reads, for the regions that read
// another region's translation or English (the e2e tests start the program
// in a few of them).
#include "app/TextLanguage.h"
#include <gtest/gtest.h>

TEST(TextLanguageTest, RegionsReadTheTranslationTheirUsersExpect)
{
    const LANGID kSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const struct
    {
        LANGID langDisplay;
        LANGID langExpected;
    } kRows[] = {
        { 0x0809, LANGID_ENGLISH },                                  // en-GB
        { 0x0807, MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL) },        // de-CH
        { 0x0c0c, MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL) },        // fr-CA
        { 0x080a, MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL) },       // es-MX
        { 0x0816, MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN) },  // pt-PT
        { 0x0411, MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL) },      // ja-JP
        { 0x0804, kSimplified },                                     // zh-CN
        { 0x1004, kSimplified },                                     // zh-SG
        { 0x0c04, LANGID_ENGLISH },                                  // zh-HK
        { 0x0401, MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL) },        // ar-SA
        { 0x0412, LANGID_ENGLISH },                                  // ko-KR
        { LANGID_PSEUDO, LANGID_PSEUDO },
        { 0x09ff, LANGID_ENGLISH },  // qps-plocm: no mirrored pseudo-translation
    };
    for (const auto& row : kRows)
        EXPECT_EQ(ChooseTextLanguage(row.langDisplay), row.langExpected) << std::hex << row.langDisplay;
}
