// Windows 7 and 8 lack the per-monitor functions, so they are looked up by name.
#include "WindowDpi.h"

namespace
{
template <typename TFunction>
TFunction User32Function(LPCSTR pszName)
{
    return reinterpret_cast<TFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), pszName)));
}

UINT SystemDpi()
{
    HDC hdcScreen = ::GetDC(nullptr);
    const int nDpi = hdcScreen != nullptr ? ::GetDeviceCaps(hdcScreen, LOGPIXELSX) : 0;
    if (hdcScreen != nullptr)
        ::ReleaseDC(nullptr, hdcScreen);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : USER_DEFAULT_SCREEN_DPI;
}
}

UINT GetWindowDpi(HWND hWnd)
{
    static const auto pfnGetDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT nDpi = pfnGetDpiForWindow != nullptr ? pfnGetDpiForWindow(hWnd) : 0;
    return nDpi != 0 ? nDpi : SystemDpi();
}

int GetSystemMetricsAtDpi(int nIndex, UINT nDpi)
{
    static const auto pfnGetSystemMetricsForDpi =
        User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (pfnGetSystemMetricsForDpi != nullptr)
        return pfnGetSystemMetricsForDpi(nIndex, nDpi);
    return ::MulDiv(::GetSystemMetrics(nIndex), static_cast<int>(nDpi), static_cast<int>(SystemDpi()));
}
