// Telling a web page from an update by its first bytes.
#include "download/WebPage.h"
#include <cstring>

namespace
{
// The most of a body a browser looks at to tell what it is.
const UINT32 SNIFF_SIZE = 1445;
const BYTE UTF8_BOM[] = {0xEF, 0xBB, 0xBF};

struct CSignature
{
    const char* m_pszText;
    // A tag: letters in either case, then a space or '>'. Otherwise exactly these bytes.
    bool m_bTag;
};

const CSignature SIGNATURES[] = {
    {"<!DOCTYPE HTML", true}, {"<HTML", true}, {"<HEAD", true},  {"<SCRIPT", true}, {"<IFRAME", true},
    {"<H1", true},            {"<DIV", true},  {"<FONT", true},  {"<TABLE", true},  {"<A", true},
    {"<STYLE", true},         {"<TITLE", true}, {"<B", true},    {"<BODY", true},   {"<BR", true},
    {"<P", true},             {"<!--", true},  {"<?xml", false},
};

bool IsWhiteSpace(BYTE by)
{
    return by == 0x09 || by == 0x0A || by == 0x0C || by == 0x0D || by == 0x20;
}

BYTE UpperLetter(BYTE by)
{
    return by >= 'a' && by <= 'z' ? static_cast<BYTE>(by - 'a' + 'A') : by;
}

bool Matches(const CSignature& signature, const BYTE* pBytes, UINT32 nSize)
{
    const UINT32 nText = static_cast<UINT32>(std::strlen(signature.m_pszText));
    if (nSize < nText + (signature.m_bTag ? 1 : 0))
        return false;
    for (UINT32 i = 0; i < nText; ++i)
    {
        const BYTE byExpected = static_cast<BYTE>(signature.m_pszText[i]);
        const BYTE byGot = signature.m_bTag ? UpperLetter(pBytes[i]) : pBytes[i];
        if (byGot != byExpected)
            return false;
    }
    return !signature.m_bTag || pBytes[nText] == ' ' || pBytes[nText] == '>';
}
}

BOOL IsWebPage(const BYTE* pBody, UINT32 nSize)
{
    if (nSize > SNIFF_SIZE)
        nSize = SNIFF_SIZE;
    UINT32 iStart = 0;
    if (nSize >= sizeof(UTF8_BOM) && std::memcmp(pBody, UTF8_BOM, sizeof(UTF8_BOM)) == 0)
        iStart = sizeof(UTF8_BOM);
    while (iStart < nSize && IsWhiteSpace(pBody[iStart]))
        ++iStart;
    for (const CSignature& signature : SIGNATURES)
    {
        if (Matches(signature, pBody + iStart, nSize - iStart))
            return TRUE;
    }
    return FALSE;
}
