// The choice of the texts' language.
#include "app/TextLanguage.h"

LANGID g_langText = ChooseTextLanguage(::GetUserDefaultUILanguage());

LANGID ChooseTextLanguage(LANGID langDisplay)
{
    switch (PRIMARYLANGID(langDisplay))
    {
    // Every region reads the one translation.
    case LANG_GERMAN:
    case LANG_FRENCH:
    case LANG_SPANISH:
    case LANG_JAPANESE:
    case LANG_ARABIC:
        return MAKELANGID(PRIMARYLANGID(langDisplay), SUBLANG_NEUTRAL);
    // Portuguese speakers read the Brazilian translation.
    case LANG_PORTUGUESE:
        return MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);
    // Simplified characters are read in mainland China and Singapore; the
    // other Chinese regions write traditional ones, which English serves
    // better than the wrong script.
    case LANG_CHINESE:
        if (SUBLANGID(langDisplay) == SUBLANG_CHINESE_SIMPLIFIED ||
            SUBLANGID(langDisplay) == SUBLANG_CHINESE_SINGAPORE)
            return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
        return LANGID_ENGLISH;
    default:
        return langDisplay == LANGID_PSEUDO ? LANGID_PSEUDO : LANGID_ENGLISH;
    }
}

bool IsTextRightToLeft()
{
    return PRIMARYLANGID(g_langText) == LANG_ARABIC;
}

void ApplyTextDirection()
{
    ::SetProcessDefaultLayout(IsTextRightToLeft() ? LAYOUT_RTL : 0);
}

UINT TextMessageBoxFlags()
{
    return IsTextRightToLeft() ? MB_RTLREADING | MB_RIGHT : 0;
}
