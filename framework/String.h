// CString: the framework's UTF-16 text, with value semantics.
#pragma once
#include "Platform.h"
#include <cstdarg>
#include <string>

class CString
{
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCWSTR psz);
    CString(LPCWSTR pch, int nLength);
    CString(WCHAR ch, int nRepeat = 1);
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCWSTR psz);
    CString& operator=(WCHAR ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    operator LPCWSTR() const { return m_str.c_str(); }
    WCHAR GetAt(int iChar) const { return m_str.at(static_cast<size_t>(iChar)); }
    WCHAR operator[](int iChar) const { return GetAt(iChar); }

    CString& operator+=(const CString& str);
    CString& operator+=(LPCWSTR psz);
    CString& operator+=(WCHAR ch);
    void Append(LPCWSTR pch, int nLength);

    int Compare(LPCWSTR psz) const;
    int CompareNoCase(LPCWSTR psz) const;

    // printf-style formatting with the platform's wide conventions:
    // %s takes a wide string, %d a signed int.
    void AFX_CDECL Format(LPCWSTR pszFormat, ...);
    void AFX_CDECL AppendFormat(LPCWSTR pszFormat, ...);
    void FormatV(LPCWSTR pszFormat, va_list args);
    void AppendFormatV(LPCWSTR pszFormat, va_list args);

    // White space here is what iswspace() accepts.
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();

    // Index of the first match at or after iStart, or -1.
    int Find(WCHAR ch, int iStart = 0) const;
    int Find(LPCWSTR pszSub, int iStart = 0) const;
    int ReverseFind(WCHAR ch) const;

    CString Left(int nCount) const;
    CString Mid(int iFirst) const;
    CString Mid(int iFirst, int nCount) const;
    CString Right(int nCount) const;

    CString& MakeLower();
    CString& MakeUpper();

    // Room for nMinBufferLength characters and a NUL; ReleaseBuffer(-1)
    // takes the length from the first NUL.
    LPWSTR GetBuffer(int nMinBufferLength);
    LPWSTR GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

    BOOL LoadString(UINT nID);

private:
    std::wstring m_str;
};

CString operator+(const CString& str1, const CString& str2);
CString operator+(const CString& str1, LPCWSTR psz2);
CString operator+(LPCWSTR psz1, const CString& str2);
CString operator+(const CString& str1, WCHAR ch2);
CString operator+(WCHAR ch1, const CString& str2);

bool operator==(const CString& str1, const CString& str2);
bool operator==(const CString& str1, LPCWSTR psz2);
bool operator==(LPCWSTR psz1, const CString& str2);
bool operator!=(const CString& str1, const CString& str2);
bool operator!=(const CString& str1, LPCWSTR psz2);
bool operator!=(LPCWSTR psz1, const CString& str2);
bool operator<(const CString& str1, const CString& str2);
