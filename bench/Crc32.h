// CRC-32 (the zlib polynomial), so that the harness can compare what each
// benchmark moved with what the stand-ins served.
#pragma once
#include <cstddef>
#include <cstdint>

uint32_t Crc32(const unsigned char* pBytes, size_t nCount);
