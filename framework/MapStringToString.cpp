// CMapStringToString's operations.
#include "MapStringToString.h"

CMapStringToString::CMapStringToString(INT_PTR nBlockSize)
{
    if (nBlockSize > 0)
        m_map.reserve(static_cast<size_t>(nBlockSize));
}

BOOL CMapStringToString::Lookup(LPCWSTR key, CString& rValue) const
{
    const auto it = m_map.find(key != nullptr ? key : L"");
    if (it == m_map.end())
        return FALSE;
    rValue = it->second;
    return TRUE;
}

void CMapStringToString::SetAt(LPCWSTR key, LPCWSTR newValue)
{
    m_map[key != nullptr ? key : L""] = newValue;
}

CString& CMapStringToString::operator[](LPCWSTR key)
{
    return m_map[key != nullptr ? key : L""];
}

BOOL CMapStringToString::RemoveKey(LPCWSTR key)
{
    return m_map.erase(key != nullptr ? key : L"") != 0 ? TRUE : FALSE;
}

void CMapStringToString::RemoveAll()
{
    m_map.clear();
}
