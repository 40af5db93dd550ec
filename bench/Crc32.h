// CRC-32 (the zlib polynomial), so that the harness can compare what each
// benchmark moved with what the stand-ins served: the system's own, which
// the harness checks against zlib's on every run.
#pragma once
#include <windows.h>
#include <cstdint>

inline uint32_t Crc32(const unsigned char* pBytes, size_t nCount)
{
    using PFN_CRC32 = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
    static const PFN_CRC32 s_pfnCrc32 = reinterpret_cast<PFN_CRC32>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlComputeCrc32")));
    return s_pfnCrc32(0, pBytes, static_cast<INT>(nCount));
}
