// The stand-in setupapi.dll: lists the interfaces that the device simulator
// says are present, with SetupAPI's signatures and last-error behaviour for
// the four functions the updater calls.
#define _SETUPAPI_
#include <windows.h>
#include <setupapi.h>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "StateDir.h"

namespace
{
// The interface class of the simulated devices.
const GUID kDownloadModeClass =
    { 0x8E120C45, 0x4968, 0x4188, { 0xBA, 0x19, 0x9A, 0x82, 0x36, 0x1C, 0x8F, 0xA8 } };

constexpr DWORD kSetMagic = 0x56534544;  // "DESV"

enum class EListedKind { Interface, EnumError, NoDetail };

struct SListedInterface
{
    EListedKind m_eKind;
    std::string m_strPath;
    DWORD m_dwError;
};

struct SInterfaceSet
{
    DWORD m_dwMagic;
    LONG m_nId;
    GUID m_class;
    std::string m_strDir;
    std::vector<SListedInterface> m_arrEntries;
};

LONG g_nNextSetId = 0;

void AppendLog(const std::string& strDir, const std::string& strLine)
{
    HANDLE hLog = ::CreateFileA(StateFile(strDir, DEVSIM_SETUPAPI_LOG).c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    if (hLog == INVALID_HANDLE_VALUE)
        return;
    const std::string strText = strLine + "\r\n";
    DWORD dwWritten = 0;
    ::WriteFile(hLog, strText.data(), static_cast<DWORD>(strText.size()), &dwWritten, nullptr);
    ::CloseHandle(hLog);
}

// "interface <path>", "no-detail <path>", "enum-error <code>"; other lines are skipped.
std::vector<SListedInterface> ReadDevices(const std::string& strDir)
{
    std::vector<SListedInterface> arrEntries;
    for (const std::string& strLine : ReadLines(StateFile(strDir, DEVSIM_DEVICES_FILE)))
    {
        const size_t nSpace = strLine.find(' ');
        if (nSpace == std::string::npos)
            continue;
        const std::string strKind = strLine.substr(0, nSpace);
        const std::string strRest = strLine.substr(nSpace + 1);
        if (strKind == "interface")
            arrEntries.push_back({ EListedKind::Interface, strRest, 0 });
        else if (strKind == "no-detail")
            arrEntries.push_back({ EListedKind::NoDetail, strRest, 0 });
        else if (strKind == "enum-error")
            arrEntries.push_back({ EListedKind::EnumError, std::string(), std::stoul(strRest) });
    }
    return arrEntries;
}

// Sets the thread's last error; FALSE, for the failures' returns.
BOOL Fail(DWORD dwError)
{
    ::SetLastError(dwError);
    return FALSE;
}

SInterfaceSet* SetFromHandle(HDEVINFO hDevInfo)
{
    auto* pSet = static_cast<SInterfaceSet*>(hDevInfo);
    if (hDevInfo == nullptr || hDevInfo == INVALID_HANDLE_VALUE || pSet->m_dwMagic != kSetMagic)
        return nullptr;
    return pSet;
}

// The entry an interface record was filled from, or null.
const SListedInterface* EntryFromRecord(const SInterfaceSet* pSet, const SP_DEVICE_INTERFACE_DATA* pData)
{
    if (pData == nullptr || pData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return nullptr;
    const ULONG_PTR nIndex = pData->Reserved;
    if (nIndex == 0 || nIndex > pSet->m_arrEntries.size())
        return nullptr;
    return &pSet->m_arrEntries[nIndex - 1];
}

std::string FormatSetLine(const SInterfaceSet& set, const GUID* pClass, PCSTR pszEnumerator,
                          HWND hwndParent, DWORD dwFlags)
{
    char szLine[160];
    snprintf(szLine, sizeof(szLine), "classdevs pid=%lu set=%ld flags=0x%02lX class=%s enumerator=%s parent=%s",
             ::GetCurrentProcessId(), set.m_nId, dwFlags,
             pClass == nullptr ? "none" : (IsEqualGUID(*pClass, kDownloadModeClass) ? "dlmode" : "other"),
             pszEnumerator == nullptr ? "none" : "given", hwndParent == nullptr ? "none" : "given");
    return szLine;
}
}

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent, DWORD Flags)
{
    if (ClassGuid == nullptr && !(Flags & DIGCF_ALLCLASSES))
    {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto* pSet = new SInterfaceSet;
    pSet->m_dwMagic = kSetMagic;
    pSet->m_nId = ::InterlockedIncrement(&g_nNextSetId);
    pSet->m_class = ClassGuid != nullptr ? *ClassGuid : GUID{};
    pSet->m_strDir = StateDirFromEnvironment();
    // Only present device interfaces of the simulated class are listed.
    const bool bListed = (Flags & DIGCF_DEVICEINTERFACE) && (Flags & DIGCF_PRESENT) && ClassGuid != nullptr
                         && IsEqualGUID(*ClassGuid, kDownloadModeClass);
    if (!pSet->m_strDir.empty())
    {
        if (bListed)
            pSet->m_arrEntries = ReadDevices(pSet->m_strDir);
        AppendLog(pSet->m_strDir, FormatSetLine(*pSet, ClassGuid, Enumerator, hwndParent, Flags));
    }
    ::SetLastError(ERROR_SUCCESS);
    return pSet;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA /*DeviceInfoData*/,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData)
{
    SInterfaceSet* pSet = SetFromHandle(DeviceInfoSet);
    if (pSet == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (InterfaceClassGuid == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (DeviceInterfaceData == nullptr || DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (!IsEqualGUID(*InterfaceClassGuid, pSet->m_class) || MemberIndex >= pSet->m_arrEntries.size())
        return Fail(ERROR_NO_MORE_ITEMS);
    const SListedInterface& entry = pSet->m_arrEntries[MemberIndex];
    if (entry.m_eKind == EListedKind::EnumError)
        return Fail(entry.m_dwError);
    DeviceInterfaceData->InterfaceClassGuid = pSet->m_class;
    DeviceInterfaceData->Flags = SPINT_ACTIVE;
    DeviceInterfaceData->Reserved = MemberIndex + 1;
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
                                             DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize,
                                             PSP_DEVINFO_DATA /*DeviceInfoData*/)
{
    SInterfaceSet* pSet = SetFromHandle(DeviceInfoSet);
    if (pSet == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    const SListedInterface* pEntry = EntryFromRecord(pSet, DeviceInterfaceData);
    if (pEntry == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if ((DeviceInterfaceDetailData == nullptr) != (DeviceInterfaceDetailDataSize == 0))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (DeviceInterfaceDetailData != nullptr
        && (DeviceInterfaceDetailDataSize < offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + 1
            || DeviceInterfaceDetailData->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)))
        return Fail(ERROR_INVALID_USER_BUFFER);
    const DWORD dwRequired =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + pEntry->m_strPath.size() + 1);
    if (RequiredSize != nullptr)
        *RequiredSize = dwRequired;
    if (DeviceInterfaceDetailDataSize < dwRequired)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    // The device went away between the size query and the fetch.
    if (pEntry->m_eKind == EListedKind::NoDetail)
        return Fail(ERROR_NO_SUCH_DEVINST);
    memcpy(DeviceInterfaceDetailData->DevicePath, pEntry->m_strPath.c_str(), pEntry->m_strPath.size() + 1);
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet)
{
    SInterfaceSet* pSet = SetFromHandle(DeviceInfoSet);
    if (pSet == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    if (!pSet->m_strDir.empty())
    {
        char szLine[64];
        snprintf(szLine, sizeof(szLine), "destroy pid=%lu set=%ld", ::GetCurrentProcessId(), pSet->m_nId);
        AppendLog(pSet->m_strDir, szLine);
    }
    pSet->m_dwMagic = 0;
    delete pSet;
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
}

}
