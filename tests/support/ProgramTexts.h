// The program's texts as its string tables hold them, read from the
// resources in one language, and the languages the program carries.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "support/WindowView.h"

// One language of the program's texts (its tag fit for a test's name) and a Linux locale that Wine takes
// for a display language choosing it.
struct CTextLanguage
{
    const char* m_pszTag;
    LANGID m_langId;
    const char* m_pszLocale;
};
// English first, then every translation, the pseudo-locale last.
extern const std::vector<CTextLanguage> kTextLanguages;

// The text nID exactly as language langId's table holds it; empty if that
// table lacks it.
std::wstring TableText(HMODULE hModule, LANGID langId, UINT nID);
// TableText of the shipped exe beside this program.
std::wstring ShippedText(LANGID langId, UINT nID);

// A text of the English window as the shipped exe holds it in langId; the
// text itself if it is none of the window's.
std::wstring TranslatedText(const std::wstring& strEnglish, LANGID langId);
// The English view with each text as the shipped exe holds it in langId.
CWindowView TranslatedView(CWindowView view, LANGID langId);
