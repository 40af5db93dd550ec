// WinInet's message texts.
#include "support/WinInetText.h"

std::wstring WinInetText(DWORD dwError)
{
    wchar_t szText[1024] = L"";
    ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, ::LoadLibraryW(L"wininet.dll"),
                     dwError, 0, szText, 1024, nullptr);
    return szText;
}

std::wstring WinInetBoxText(DWORD dwError)
{
    std::wstring strText = WinInetText(dwError);
    strText.erase(strText.find_last_not_of(L" \t\r\n") + 1);
    return strText;
}
