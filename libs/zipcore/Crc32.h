// CRC-32 of ZIP data (libdeflate's fast implementation) and the byte-wise
// update that traditional PKWARE encryption needs for its key schedule.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zipcore {

// Continues `crc` (0 to start) over `len` bytes.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t len);

// One step of the raw (non-inverted) table-driven CRC over a single byte.
std::uint32_t Crc32Byte(std::uint32_t crc, std::uint8_t byte);

}  // namespace zipcore
