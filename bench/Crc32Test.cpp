// Tests of the CRC-32 that the harness compares with zlib's.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "Crc32.h"

namespace
{
struct SCrcCase
{
    const char* m_pszText;
    uint32_t m_nCrc;
};

TEST(Crc32Test, MatchesZlibOnKnownTexts)
{
    const SCrcCase arrCases[] = {
        { "", 0x00000000u },
        { "a", 0xE8B7BE43u },
        { "123456789", 0xCBF43926u },
        { "The quick brown fox jumps over the lazy dog", 0x414FA339u },
    };
    for (const SCrcCase& row : arrCases)
        EXPECT_EQ(Crc32(reinterpret_cast<const unsigned char*>(row.m_pszText), strlen(row.m_pszText)), row.m_nCrc)
            << "text \"" << row.m_pszText << "\"";
}

TEST(Crc32Test, EveryByteValueCounts)
{
    std::vector<unsigned char> arrBytes(256);
    for (size_t i = 0; i < arrBytes.size(); ++i)
        arrBytes[i] = static_cast<unsigned char>(i);
    EXPECT_EQ(Crc32(arrBytes.data(), arrBytes.size()), 0x29058C73u);
}
}
