// Device discovery and pipe opening through SetupAPI's 8-bit functions.
#include "device/DeviceDiscovery.h"
#include <cstddef>
#include <cstring>
#include <vector>

// {8E120C45-4968-4188-BA19-9A82361C8FA8}
const GUID GUID_DEVINTERFACE_DLMODE =
    { 0x8E120C45, 0x4968, 0x4188, { 0xBA, 0x19, 0x9A, 0x82, 0x36, 0x1C, 0x8F, 0xA8 } };

char g_szDevicePath[DEVICE_PATH_SIZE] = {};

namespace
{
HANDLE OpenPath(const char* pszPath, DWORD dwFlags = 0)
{
    return ::CreateFileA(pszPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, dwFlags, nullptr);
}
}

// The interface's path in pDetailBuffer, or null if its details cannot be
// fetched or its path lacks its NUL.
static const char* FetchInterfacePath(HDEVINFO hDevInfo, SP_DEVICE_INTERFACE_DATA* pInterfaceData,
                                      std::vector<BYTE>& detailBuffer, size_t& nPathLength)
{
    DWORD dwRequiredSize = 0;
    ::SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterfaceData, nullptr, 0, &dwRequiredSize, nullptr);
    // A size query that reports less than the fixed part (or nothing) leaves
    // no room even for cbSize.
    if (dwRequiredSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return nullptr;

    detailBuffer.assign(dwRequiredSize, 0);
    auto* pDetail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detailBuffer.data());
    pDetail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!::SetupDiGetDeviceInterfaceDetailA(hDevInfo, pInterfaceData, pDetail, dwRequiredSize,
                                            nullptr, nullptr))
        return nullptr;

    const size_t nPathCapacity = dwRequiredSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    nPathLength = strnlen(pDetail->DevicePath, nPathCapacity);
    return nPathLength == nPathCapacity ? nullptr : pDetail->DevicePath;
}

HANDLE OpenDeviceInterface(HDEVINFO hDevInfo, SP_DEVICE_INTERFACE_DATA* pInterfaceData,
                           char* szDevicePath, size_t nSuffixRoom)
{
    std::vector<BYTE> detailBuffer;
    size_t nPathLength = 0;
    const char* pszPath = FetchInterfacePath(hDevInfo, pInterfaceData, detailBuffer, nPathLength);
    // A path that would not fit the buffer, with the room asked for left
    // over, is passed over like an interface that does not open: the
    // buffer is never written past its end. So is a path without its NUL.
    if (pszPath == nullptr || nPathLength + nSuffixRoom >= DEVICE_PATH_SIZE)
        return INVALID_HANDLE_VALUE;

    memcpy(szDevicePath, pszPath, nPathLength + 1);
    return OpenPath(szDevicePath);
}

bool IsDeviceListed(const char* pszPath)
{
    HDEVINFO hDevInfo = ::SetupDiGetClassDevsA(&GUID_DEVINTERFACE_DLMODE, nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (hDevInfo == INVALID_HANDLE_VALUE)
        return true;

    SP_DEVICE_INTERFACE_DATA interfaceData;
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    std::vector<BYTE> detailBuffer;
    // An entry that cannot be read may be this device: only a listing read
    // whole can tell that it has gone.
    bool bListed = false;
    for (DWORD dwIndex = 0; !bListed; ++dwIndex)
    {
        if (!::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &GUID_DEVINTERFACE_DLMODE, dwIndex, &interfaceData))
        {
            bListed = ::GetLastError() != ERROR_NO_MORE_ITEMS;
            break;
        }
        size_t nPathLength = 0;
        const char* pszListed = FetchInterfacePath(hDevInfo, &interfaceData, detailBuffer, nPathLength);
        bListed = pszListed == nullptr || ::lstrcmpiA(pszListed, pszPath) == 0;
    }

    ::SetupDiDestroyDeviceInfoList(hDevInfo);
    return bListed;
}

HANDLE FindDevice(const GUID& interfaceClass, char* szDevicePath, size_t nSuffixRoom)
{
    HDEVINFO hDevInfo = ::SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (hDevInfo == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;

    SP_DEVICE_INTERFACE_DATA interfaceData;
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);

    HANDLE hDevice = INVALID_HANDLE_VALUE;
    DWORD nErrorsInARow = 0;
    for (DWORD dwIndex = 0;; ++dwIndex)
    {
        if (!::SetupDiEnumDeviceInterfaces(hDevInfo, nullptr, &interfaceClass, dwIndex, &interfaceData))
        {
            // An error that does not go away would otherwise hold the
            // search for every index there is.
            if (::GetLastError() == ERROR_NO_MORE_ITEMS || ++nErrorsInARow == ENUM_ERROR_LIMIT)
                break;
            continue;
        }
        nErrorsInARow = 0;
        hDevice = OpenDeviceInterface(hDevInfo, &interfaceData, szDevicePath, nSuffixRoom);
        if (hDevice != INVALID_HANDLE_VALUE)
            break;
    }

    ::SetupDiDestroyDeviceInfoList(hDevInfo);
    return hDevice;
}

HANDLE OpenDevice()
{
    return FindDevice(GUID_DEVINTERFACE_DLMODE, g_szDevicePath);
}

HANDLE OpenDevicePipe(const char* pszPipeName)
{
    const size_t nNameLength = strlen(pszPipeName);
    // The search passes over interfaces whose path leaves no room for the
    // backslash and the pipe name, so the pipe path always fits.
    HANDLE hDevice = FindDevice(GUID_DEVINTERFACE_DLMODE, g_szDevicePath, 1 + nNameLength);
    if (hDevice == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    ::CloseHandle(hDevice);

    const size_t nPathLength = strlen(g_szDevicePath);
    g_szDevicePath[nPathLength] = '\\';
    memcpy(g_szDevicePath + nPathLength + 1, pszPipeName, nNameLength + 1);
    // Overlapped, so that a write can be given a deadline and cancelled.
    return OpenPath(g_szDevicePath, FILE_FLAG_OVERLAPPED);
}

// SetupAPI packs its records to 1 byte in 32-bit programs and to 8 in
// 64-bit ones; the sizes are what the system checks cbSize against.
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32, "a 64-bit interface record");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8, "a 64-bit detail record's fixed part");
#else
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28, "a 32-bit interface record");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5, "a 32-bit detail record's fixed part");
#endif
