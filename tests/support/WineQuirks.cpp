#include "support/WineQuirks.h"
#include <cstring>
#include "support/Press.h"
#include "support/Wait.h"

bool DismissBox(HWND hBox, int nButtonId)
{
    for (int nTry = 0; nTry < 3; ++nTry)
    {
        if (!PressButton(hBox, nButtonId))
            return nTry > 0 && !::IsWindow(hBox);
        if (WaitFor([&] { return !::IsWindow(hBox) || !::IsWindowVisible(hBox); }, 3000, 10))
            return true;
    }
    return false;
}

DWORD StartRetried(const std::function<DWORD()>& start)
{
    DWORD dwError = ERROR_SUCCESS;
    for (int nTry = 0; nTry < 3; ++nTry)
    {
        dwError = start();
        if (dwError != ERROR_INTERNAL_ERROR)
            break;
        ::Sleep(200);
    }
    return dwError;
}

bool MinimizeWindow(HWND hWnd, DWORD dwTimeoutMs)
{
    DWORD dwAsked = 0;
    return WaitFor(
        [&] {
            if (::IsIconic(hWnd))
                return true;
            if (dwAsked == 0 || ::GetTickCount() - dwAsked >= 500)
            {
                ::ShowWindow(hWnd, SW_MINIMIZE);
                dwAsked = ::GetTickCount() | 1;
            }
            return false;
        },
        dwTimeoutMs, 10);
}

CLoadOrder::CLoadOrder(const char* pszExeName, const char* pszDll, const char* pszOrder)
    : m_strAppKey(std::string("Software\\Wine\\AppDefaults\\") + pszExeName), m_strKey(m_strAppKey + "\\DllOverrides"),
      m_pszDll(pszDll)
{
    m_bSet = ::RegCreateKeyExA(HKEY_CURRENT_USER, m_strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &m_hKey,
                               nullptr)
                 == ERROR_SUCCESS
             && ::RegSetValueExA(m_hKey, pszDll, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszOrder),
                                 static_cast<DWORD>(strlen(pszOrder) + 1))
                    == ERROR_SUCCESS;
}

CLoadOrder::~CLoadOrder()
{
    if (m_hKey == nullptr)
        return;
    ::RegDeleteValueA(m_hKey, m_pszDll);
    ::RegCloseKey(m_hKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_strKey.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, m_strAppKey.c_str());
}
