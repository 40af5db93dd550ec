// CString's operations.
#include "String.h"
#include "Globals.h"
#include <algorithm>
#include <cwctype>
#include <cwchar>
#include <vector>

CString::CString(LPCWSTR psz) : m_str(psz != nullptr ? psz : L"") {}

CString::CString(LPCWSTR pch, int nLength)
{
    if (pch != nullptr && nLength > 0)
        m_str.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(WCHAR ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCWSTR psz)
{
    m_str = psz != nullptr ? psz : L"";
    return *this;
}

CString& CString::operator=(WCHAR ch)
{
    m_str.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(LPCWSTR psz)
{
    if (psz != nullptr)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(WCHAR ch)
{
    m_str += ch;
    return *this;
}

void CString::Append(LPCWSTR pch, int nLength)
{
    if (pch != nullptr && nLength > 0)
        m_str.append(pch, static_cast<size_t>(nLength));
}

int CString::Compare(LPCWSTR psz) const
{
    return wcscmp(m_str.c_str(), psz != nullptr ? psz : L"");
}

int CString::CompareNoCase(LPCWSTR psz) const
{
    return _wcsicmp(m_str.c_str(), psz != nullptr ? psz : L"");
}

void AFX_CDECL CString::Format(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void AFX_CDECL CString::AppendFormat(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCWSTR pszFormat, va_list args)
{
    // An argument may be this string's own text, so it is read before the
    // text is replaced.
    CString strResult;
    strResult.AppendFormatV(pszFormat, args);
    m_str.swap(strResult.m_str);
}

void CString::AppendFormatV(LPCWSTR pszFormat, va_list args)
{
    // The runtime's own wide printf, whose %s is a wide string.
    va_list argsForLength;
    va_copy(argsForLength, args);
    const int nLength = _vscwprintf(pszFormat, argsForLength);
    va_end(argsForLength);
    if (nLength <= 0)
        return;
    std::vector<wchar_t> buffer(static_cast<size_t>(nLength) + 1);
    _vsnwprintf(buffer.data(), buffer.size(), pszFormat, args);
    m_str.append(buffer.data(), static_cast<size_t>(nLength));
}

static bool IsSpace(wchar_t ch)
{
    return iswspace(static_cast<wint_t>(ch)) != 0;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft()
{
    m_str.erase(m_str.begin(), std::find_if_not(m_str.begin(), m_str.end(), IsSpace));
    return *this;
}

CString& CString::TrimRight()
{
    m_str.erase(std::find_if_not(m_str.rbegin(), m_str.rend(), IsSpace).base(), m_str.end());
    return *this;
}

int CString::Find(WCHAR ch, int iStart) const
{
    if (iStart < 0 || iStart > GetLength())
        return -1;
    const size_t nPos = m_str.find(ch, static_cast<size_t>(iStart));
    return nPos == std::wstring::npos ? -1 : static_cast<int>(nPos);
}

int CString::Find(LPCWSTR pszSub, int iStart) const
{
    if (pszSub == nullptr || iStart < 0 || iStart > GetLength())
        return -1;
    const size_t nPos = m_str.find(pszSub, static_cast<size_t>(iStart));
    return nPos == std::wstring::npos ? -1 : static_cast<int>(nPos);
}

int CString::ReverseFind(WCHAR ch) const
{
    const size_t nPos = m_str.rfind(ch);
    return nPos == std::wstring::npos ? -1 : static_cast<int>(nPos);
}

CString CString::Left(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_str.c_str(), nCount);
}

CString CString::Mid(int iFirst) const
{
    return Mid(iFirst, GetLength());
}

CString CString::Mid(int iFirst, int nCount) const
{
    iFirst = std::clamp(iFirst, 0, GetLength());
    nCount = std::clamp(nCount, 0, GetLength() - iFirst);
    return CString(m_str.c_str() + iFirst, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_str.c_str() + (GetLength() - nCount), nCount);
}

CString& CString::MakeLower()
{
    for (wchar_t& ch : m_str)
        ch = static_cast<wchar_t>(towlower(static_cast<wint_t>(ch)));
    return *this;
}

CString& CString::MakeUpper()
{
    for (wchar_t& ch : m_str)
        ch = static_cast<wchar_t>(towupper(static_cast<wint_t>(ch)));
    return *this;
}

LPWSTR CString::GetBuffer(int nMinBufferLength)
{
    if (nMinBufferLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufferLength));
    return m_str.data();
}

LPWSTR CString::GetBufferSetLength(int nLength)
{
    m_str.resize(static_cast<size_t>(std::max(nLength, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}

BOOL CString::LoadString(UINT nID)
{
    LPCWSTR pchResource = nullptr;
    const int nLength = ::LoadStringW(AfxGetResourceHandle(), nID,
                                      reinterpret_cast<LPWSTR>(&pchResource), 0);
    if (nLength <= 0 || pchResource == nullptr)
        return FALSE;
    m_str.assign(pchResource, static_cast<size_t>(nLength));
    return TRUE;
}

CString operator+(const CString& str1, const CString& str2) { CString s(str1); s += str2; return s; }
CString operator+(const CString& str1, LPCWSTR psz2) { CString s(str1); s += psz2; return s; }
CString operator+(LPCWSTR psz1, const CString& str2) { CString s(psz1); s += str2; return s; }
CString operator+(const CString& str1, WCHAR ch2) { CString s(str1); s += ch2; return s; }
CString operator+(WCHAR ch1, const CString& str2) { CString s(ch1); s += str2; return s; }

bool operator==(const CString& str1, const CString& str2) { return str1.Compare(str2) == 0; }
bool operator==(const CString& str1, LPCWSTR psz2) { return str1.Compare(psz2) == 0; }
bool operator==(LPCWSTR psz1, const CString& str2) { return str2.Compare(psz1) == 0; }
bool operator!=(const CString& str1, const CString& str2) { return !(str1 == str2); }
bool operator!=(const CString& str1, LPCWSTR psz2) { return !(str1 == psz2); }
bool operator!=(LPCWSTR psz1, const CString& str2) { return !(psz1 == str2); }
bool operator<(const CString& str1, const CString& str2) { return str1.Compare(str2) < 0; }
