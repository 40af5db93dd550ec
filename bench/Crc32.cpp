// CRC-32, reflected, polynomial 0xEDB88320, as zlib.crc32 computes it.
#include "Crc32.h"
#include <array>

namespace
{
std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> arrTable{};
    for (uint32_t n = 0; n < 256; ++n)
    {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        arrTable[n] = c;
    }
    return arrTable;
}
}

uint32_t Crc32(const unsigned char* pBytes, size_t nCount)
{
    static const std::array<uint32_t, 256> s_arrTable = MakeTable();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < nCount; ++i)
        c = s_arrTable[(c ^ pBytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}
