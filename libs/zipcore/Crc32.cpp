#include "Crc32.h"

#include <array>

#include <libdeflate.h>

namespace zipcore {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto kTable = MakeTable();

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t len)
{
    return libdeflate_crc32(crc, data, len);
}

std::uint32_t Crc32Byte(std::uint32_t crc, std::uint8_t byte)
{
    return kTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace zipcore
