// The program's string tables read back through the system's resource calls.
#include "support/ProgramTexts.h"
#include "support/ChildProcess.h"
#include "app/TextLanguage.h"
#include "resource.h"

const std::vector<CTextLanguage> kTextLanguages = {
    { "en_US", LANGID_ENGLISH, "en_US.UTF-8" },
    { "de", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), "de_DE.UTF-8" },
    { "fr", MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL), "fr_FR.UTF-8" },
    { "es", MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL), "es_ES.UTF-8" },
    { "pt_BR", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), "pt_BR.UTF-8" },
    { "ja", MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL), "ja_JP.UTF-8" },
    { "zh_CN", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), "zh_CN.UTF-8" },
    { "ar", MAKELANGID(LANG_ARABIC, SUBLANG_NEUTRAL), "ar_EG.UTF-8" },
    { "qps_ploc", LANGID_PSEUDO, nullptr },
};

std::wstring TableText(HMODULE hModule, LANGID langId, UINT nID)
{
    const HRSRC hInfo = ::FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(nID / 16 + 1), langId);
    if (hInfo == nullptr)
        return std::wstring();
    const WCHAR* pEntry = static_cast<const WCHAR*>(::LockResource(::LoadResource(hModule, hInfo)));
    for (UINT nEntry = 0; nEntry < nID % 16; ++nEntry)
        pEntry += 1 + *pEntry;
    return std::wstring(pEntry + 1, *pEntry);
}

std::wstring ShippedText(LANGID langId, UINT nID)
{
    static const HMODULE hExe = ::LoadLibraryExW(PathNextToThisProgram(L"OrvekUpdater.exe").c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return hExe != nullptr ? TableText(hExe, langId, nID) : std::wstring();
}

std::wstring TranslatedText(const std::wstring& strEnglish, LANGID langId)
{
    // The window's own texts stand together, from the status line's first.
    for (UINT nID = IDS_SWITCH_TO_DL; nID <= IDS_UPDATE_COMPLETE; ++nID)
        if (strEnglish == ShippedText(LANGID_ENGLISH, nID))
            return ShippedText(langId, nID);
    return strEnglish;
}

CWindowView TranslatedView(CWindowView view, LANGID langId)
{
    for (CControlView* pControl : { &view.m_status, &view.m_button, &view.m_downloadCaption, &view.m_updateCaption })
        pControl->m_strText = TranslatedText(pControl->m_strText, langId);
    return view;
}
