// CMapStringToString: a map from text keys to text values; keys compare
// exactly, letter case included.
#pragma once
#include "Object.h"
#include "String.h"
#include <unordered_map>

class CMapStringToString : public CObject
{
public:
    // The block size is the allocation step of the map's entries.
    explicit CMapStringToString(INT_PTR nBlockSize = 10);
    ~CMapStringToString() override = default;

    INT_PTR GetCount() const { return static_cast<INT_PTR>(m_map.size()); }
    INT_PTR GetSize() const { return GetCount(); }
    BOOL IsEmpty() const { return m_map.empty(); }

    BOOL Lookup(LPCWSTR key, CString& rValue) const;
    // Adds the entry, or replaces the value already stored under the key.
    void SetAt(LPCWSTR key, LPCWSTR newValue);
    CString& operator[](LPCWSTR key);
    BOOL RemoveKey(LPCWSTR key);
    void RemoveAll();

private:
    std::unordered_map<std::wstring, CString> m_map;
};
