// The program's texts as its string tables hold them, read from the
// resources in one language, and the languages the program carries.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// One language of the program's texts and a Linux locale that Wine takes
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
// The languages that have the string table block of nID.
std::vector<LANGID> TableLanguages(HMODULE hModule, UINT nID);
// TableText of the shipped exe beside this program.
std::wstring ShippedText(LANGID langId, UINT nID);
