// Texts are loaded by an explicit language: the thread's UI language cannot
// be set under Wine, and on Windows not every loader follows it.
#include "app/UserText.h"
#include "app/TextLanguage.h"
#include <new>

// Entry nID of its string table block in language langId; false if the
// block or the entry is missing or empty.
static bool FindText(UINT nID, LANGID langId, LPCWSTR* ppszText, int* pnLength)
{
    const HINSTANCE hInstance = AfxGetResourceHandle();
    const HRSRC hInfo = ::FindResourceExW(hInstance, RT_STRING, MAKEINTRESOURCEW(nID / 16 + 1), langId);
    if (hInfo == nullptr)
        return false;
    const WCHAR* pEntry = static_cast<const WCHAR*>(::LockResource(::LoadResource(hInstance, hInfo)));
    const WCHAR* const pEnd = pEntry + ::SizeofResource(hInstance, hInfo) / sizeof(WCHAR);
    if (pEntry == nullptr)
        return false;
    // Each of the block's 16 entries is a length and that many characters.
    for (UINT nEntry = 0; nEntry < nID % 16; ++nEntry)
    {
        if (pEntry >= pEnd)
            return false;
        pEntry += 1 + *pEntry;
    }
    if (pEntry >= pEnd || *pEntry == 0 || pEntry + 1 + *pEntry > pEnd)
        return false;
    *ppszText = pEntry + 1;
    *pnLength = *pEntry;
    return true;
}

CString UserText(UINT nID)
{
    LPCWSTR pszText = nullptr;
    int nLength = 0;
    if (!FindText(nID, g_langText, &pszText, &nLength) && !FindText(nID, LANGID_ENGLISH, &pszText, &nLength))
        return CString();
    return CString(pszText, nLength);
}

int UserTextBox(UINT nID, LPCWSTR pszEnglish, UINT nType)
{
    try
    {
        return AfxMessageBox(UserText(nID), nType);
    }
    catch (const std::bad_alloc&)
    {
        return AfxMessageBox(pszEnglish, nType);
    }
}
